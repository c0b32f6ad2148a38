#pragma once

#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <QWidget>
#include <memory>

#include "tarnix/engine.h"
#include "tarnix/qt/export.h"

namespace tarnix::qt {

// The Tarnix engine as a control on a window: a fixed 32 x 32 square with a raised
// edge. Its properties and methods carry the engine's names and are reachable by
// name through the meta-object system (QObject::property, QMetaObject::invokeMethod).
// The events are signals; connect them with Qt::DirectConnection, since they are
// raised synchronously inside RunMoravex and the handler's writes through the
// pointer arguments (Fitness, BestFitness) are the answer the engine reads back.
//
// Gene arrays in signals are QVariantLists (Long values as int, Single as float),
// or a null QVariant for a kind without genes. Refusals are shown in a message box
// titled "Moravex" while ShowErrorMessageBox is true.
class TARNIXQT_API TarnixControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int SelectionType READ SelectionType WRITE setSelectionType NOTIFY settingChanged)
    Q_PROPERTY(int ObjectiveFunctionType READ ObjectiveFunctionType WRITE setObjectiveFunctionType NOTIFY
                   settingChanged)
    Q_PROPERTY(
        int BinaryCrossoverType READ BinaryCrossoverType WRITE setBinaryCrossoverType NOTIFY settingChanged)
    Q_PROPERTY(int RealCrossoverType READ RealCrossoverType WRITE setRealCrossoverType NOTIFY settingChanged)
    Q_PROPERTY(int IntegerCrossoverType READ IntegerCrossoverType WRITE setIntegerCrossoverType NOTIFY
                   settingChanged)
    Q_PROPERTY(
        int BinaryMutationType READ BinaryMutationType WRITE setBinaryMutationType NOTIFY settingChanged)
    Q_PROPERTY(int RealMutationType READ RealMutationType WRITE setRealMutationType NOTIFY settingChanged)
    Q_PROPERTY(
        int IntegerMutationType READ IntegerMutationType WRITE setIntegerMutationType NOTIFY settingChanged)
    Q_PROPERTY(int TerminationMode READ TerminationMode WRITE setTerminationMode NOTIFY settingChanged)
    Q_PROPERTY(bool Elitism READ Elitism WRITE setElitism NOTIFY settingChanged)
    Q_PROPERTY(int PopulationSize READ PopulationSize WRITE setPopulationSize NOTIFY settingChanged)
    Q_PROPERTY(
        float MutationProbability READ MutationProbability WRITE setMutationProbability NOTIFY settingChanged)
    Q_PROPERTY(float CrossoverProbability READ CrossoverProbability WRITE setCrossoverProbability NOTIFY
                   settingChanged)
    Q_PROPERTY(int NumberOfBinaryGenes READ NumberOfBinaryGenes WRITE setNumberOfBinaryGenes DESIGNABLE false)
    Q_PROPERTY(int NumberOfRealGenes READ NumberOfRealGenes WRITE setNumberOfRealGenes DESIGNABLE false)
    Q_PROPERTY(
        int NumberOfIntegerGenes READ NumberOfIntegerGenes WRITE setNumberOfIntegerGenes DESIGNABLE false)
    Q_PROPERTY(int MaximumRunTime READ MaximumRunTime WRITE setMaximumRunTime NOTIFY settingChanged)
    Q_PROPERTY(int MaximumGenerationsWithNoChange READ MaximumGenerationsWithNoChange WRITE
                   setMaximumGenerationsWithNoChange NOTIFY settingChanged)
    Q_PROPERTY(
        int NumberOfGenerations READ NumberOfGenerations WRITE setNumberOfGenerations NOTIFY settingChanged)
    Q_PROPERTY(float RandomSeed READ RandomSeed WRITE setRandomSeed NOTIFY settingChanged)
    Q_PROPERTY(
        bool ShowErrorMessageBox READ ShowErrorMessageBox WRITE setShowErrorMessageBox NOTIFY settingChanged)
    Q_PROPERTY(int ReportEveryGeneration READ ReportEveryGeneration WRITE setReportEveryGeneration NOTIFY
                   settingChanged)

  public:
    explicit TarnixControl(QWidget* parent = nullptr);
    ~TarnixControl() override;

    // The engine itself, for hosts that prefer the C++ interface.
    Engine& engine();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    int SelectionType() const;
    void setSelectionType(int value);
    int ObjectiveFunctionType() const;
    void setObjectiveFunctionType(int value);
    int BinaryCrossoverType() const;
    void setBinaryCrossoverType(int value);
    int RealCrossoverType() const;
    void setRealCrossoverType(int value);
    int IntegerCrossoverType() const;
    void setIntegerCrossoverType(int value);
    int BinaryMutationType() const;
    void setBinaryMutationType(int value);
    int RealMutationType() const;
    void setRealMutationType(int value);
    int IntegerMutationType() const;
    void setIntegerMutationType(int value);
    int TerminationMode() const;
    void setTerminationMode(int value);
    bool Elitism() const;
    void setElitism(bool value);
    int PopulationSize() const;
    void setPopulationSize(int value);
    float MutationProbability() const;
    void setMutationProbability(float value);
    float CrossoverProbability() const;
    void setCrossoverProbability(float value);
    // The setters of the gene counts throw tarnix::ReadOnlyPropertyError (382).
    int NumberOfBinaryGenes() const;
    void setNumberOfBinaryGenes(int value);
    int NumberOfRealGenes() const;
    void setNumberOfRealGenes(int value);
    int NumberOfIntegerGenes() const;
    void setNumberOfIntegerGenes(int value);
    int MaximumRunTime() const;
    void setMaximumRunTime(int value);
    int MaximumGenerationsWithNoChange() const;
    void setMaximumGenerationsWithNoChange(int value);
    int NumberOfGenerations() const;
    void setNumberOfGenerations(int value);
    float RandomSeed() const;
    void setRandomSeed(float value);
    bool ShowErrorMessageBox() const;
    void setShowErrorMessageBox(bool value);
    int ReportEveryGeneration() const;
    void setReportEveryGeneration(int value);

    // Arrays of numbers; lowerBound is the bound index of the first element.
    // An element that is not a number fails the definition.
    Q_INVOKABLE int DefineBinaryGenes(int numberOfGenes, const QVariantList& geneNumberOfBits,
                                      int lowerBound = 0);
    Q_INVOKABLE int DefineRealGenes(int numberOfGenes, const QVariantList& geneMinValue,
                                    const QVariantList& geneMaxValue, int lowerBound = 0);
    Q_INVOKABLE int DefineIntegerGenes(int numberOfGenes, const QVariantList& geneMinValue,
                                       const QVariantList& geneMaxValue, int lowerBound = 0);
    Q_INVOKABLE int RunMoravex();
    // Keys "Result" (0 or 1), "RunTime", "BestFitness", "BinaryGenes", "RealGenes",
    // "IntegerGenes" (a QVariantList, or a null QVariant for a kind without genes).
    Q_INVOKABLE QVariantMap GetSolutionParameters();
    Q_INVOKABLE int ResetMoravex();
    Q_INVOKABLE void ResetDefaults();
    Q_INVOKABLE void ShowAboutBox();

  signals:
    void FitnessFunction(const QVariant& binaryGenes, const QVariant& realGenes, const QVariant& integerGenes,
                         int generationNumber, float* fitness);
    void GenerationReport(float* bestFitness, int generationNumber, const QVariant& binaryGenes,
                          const QVariant& realGenes, const QVariant& integerGenes, int* elapsedTime,
                          float* generationMeanFitness);
    void UserDefinedCrossoverFunction(int dataType, const tarnix::CrossoverData* parentsParam,
                                      tarnix::CrossoverData* offspringParam);
    void UserDefinedMutationFunction(int dataType, const tarnix::MutationData* beforeMutation,
                                     tarnix::MutationData* afterMutation);
    // An accepted setter changed a persisted setting.
    void settingChanged(const QString& propertyName);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    class WindowHost;
    std::unique_ptr<WindowHost> host_;
    std::unique_ptr<Engine> engine_;
};

}  // namespace tarnix::qt
