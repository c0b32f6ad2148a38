#include "tarnix/qt/tarnix_control.h"

#include <qdrawutil.h>

#include <QCoreApplication>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPainter>
#include <cmath>
#include <limits>

#include "tarnix/help_text.h"

namespace tarnix::qt {

namespace {

constexpr int kSide = 32;

template <class T>
QVariant toVariant(const GeneArray<T>& genes) {
    if (!genes) {
        return {};
    }
    QVariantList list;
    list.reserve(static_cast<qsizetype>(genes->size()));
    for (const T value : *genes) {
        list.append(QVariant::fromValue(value));
    }
    return list;
}

// Elements that are not numbers become NaN, which the engine refuses.
BoundedArray<double> toBounds(const QVariantList& list, int lowerBound) {
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(list.size()));
    for (const QVariant& element : list) {
        bool ok = false;
        const double value = element.toDouble(&ok);
        values.push_back(ok ? value : std::numeric_limits<double>::quiet_NaN());
    }
    return BoundedArray<double>(std::move(values), lowerBound);
}

// Bit counts as Longs; a count that is not a number counts as 0, which is refused.
BoundedArray<std::int32_t> toBitCounts(const QVariantList& list, int lowerBound) {
    std::vector<std::int32_t> values;
    values.reserve(static_cast<std::size_t>(list.size()));
    for (const QVariant& element : list) {
        bool ok = false;
        const double value = element.toDouble(&ok);
        if (!ok || !std::isfinite(value)) {
            values.push_back(0);
        } else if (std::fabs(value) > 1e9) {
            values.push_back(value > 0 ? std::numeric_limits<std::int32_t>::max() : 0);
        } else {
            values.push_back(static_cast<std::int32_t>(std::nearbyint(value)));
        }
    }
    return BoundedArray<std::int32_t>(std::move(values), lowerBound);
}

}  // namespace

// The engine's window-system services: message boxes, the about box, pending events.
class TarnixControl::WindowHost final : public Host {
  public:
    explicit WindowHost(TarnixControl& control) : control_(control) {}

    void showMessage(std::string_view text, std::string_view title) override {
        QMessageBox box(
            QMessageBox::NoIcon, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok, &control_);
        box.exec();
    }

    void showAboutBox() override {
        QMessageBox::about(&control_, QStringLiteral("About Tarnix"),
                           QStringLiteral("Tarnix genetic-algorithm engine\n\n"
                                          "Binary, real and integer genes; selection, crossover and mutation "
                                          "methods of your choice; termination by generations, time or "
                                          "stagnation."));
    }

    void processPendingMessages() override { QCoreApplication::processEvents(); }

    void propertyChanged(std::string_view name) override {
        emit control_.settingChanged(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }

  private:
    TarnixControl& control_;
};

TarnixControl::TarnixControl(QWidget* parent)
    : QWidget(parent),
      host_(std::make_unique<WindowHost>(*this)),
      engine_(std::make_unique<Engine>(host_.get())) {
    setFixedSize(kSide, kSide);
    setToolTip(QStringLiteral("Tarnix"));

    engine_->SetFitnessFunction([this](const BinaryGeneArray& binary, const RealGeneArray& real,
                                       const IntegerGeneArray& integer, std::int32_t generation,
                                       float& fitness) {
        if (isSignalConnected(QMetaMethod::fromSignal(&TarnixControl::FitnessFunction))) {
            emit FitnessFunction(toVariant(binary), toVariant(real), toVariant(integer), generation,
                                 &fitness);
        }
    });
    engine_->SetGenerationReport([this](float& best, std::int32_t generation, const BinaryGeneArray& binary,
                                        const RealGeneArray& real, const IntegerGeneArray& integer,
                                        std::int32_t& elapsed, float& mean) {
        if (isSignalConnected(QMetaMethod::fromSignal(&TarnixControl::GenerationReport))) {
            emit GenerationReport(&best, generation, toVariant(binary), toVariant(real), toVariant(integer),
                                  &elapsed, &mean);
        }
    });
    engine_->SetUserDefinedCrossoverFunction(
        [this](mvxDataType type, const CrossoverData& parents, CrossoverData& offspring) {
            emit UserDefinedCrossoverFunction(type, &parents, &offspring);
        });
    engine_->SetUserDefinedMutationFunction(
        [this](mvxDataType type, const MutationData& before, MutationData& after) {
            emit UserDefinedMutationFunction(type, &before, &after);
        });
}

TarnixControl::~TarnixControl() = default;

Engine& TarnixControl::engine() {
    return *engine_;
}

QSize TarnixControl::sizeHint() const {
    return {kSide, kSide};
}
QSize TarnixControl::minimumSizeHint() const {
    return {kSide, kSide};
}

void TarnixControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), false);
}

int TarnixControl::SelectionType() const {
    return engine_->SelectionType();
}
void TarnixControl::setSelectionType(int v) {
    engine_->SetSelectionType(static_cast<mvxSelectionType>(v));
}
int TarnixControl::ObjectiveFunctionType() const {
    return engine_->ObjectiveFunctionType();
}
void TarnixControl::setObjectiveFunctionType(int v) {
    engine_->SetObjectiveFunctionType(static_cast<mvxObjectiveFunctionType>(v));
}
int TarnixControl::BinaryCrossoverType() const {
    return engine_->BinaryCrossoverType();
}
void TarnixControl::setBinaryCrossoverType(int v) {
    engine_->SetBinaryCrossoverType(static_cast<mvxBinaryCrossoverType>(v));
}
int TarnixControl::RealCrossoverType() const {
    return engine_->RealCrossoverType();
}
void TarnixControl::setRealCrossoverType(int v) {
    engine_->SetRealCrossoverType(static_cast<mvxRealCrossoverType>(v));
}
int TarnixControl::IntegerCrossoverType() const {
    return engine_->IntegerCrossoverType();
}
void TarnixControl::setIntegerCrossoverType(int v) {
    engine_->SetIntegerCrossoverType(static_cast<mvxIntegerCrossoverType>(v));
}
int TarnixControl::BinaryMutationType() const {
    return engine_->BinaryMutationType();
}
void TarnixControl::setBinaryMutationType(int v) {
    engine_->SetBinaryMutationType(static_cast<mvxBinaryMutationType>(v));
}
int TarnixControl::RealMutationType() const {
    return engine_->RealMutationType();
}
void TarnixControl::setRealMutationType(int v) {
    engine_->SetRealMutationType(static_cast<mvxRealMutationType>(v));
}
int TarnixControl::IntegerMutationType() const {
    return engine_->IntegerMutationType();
}
void TarnixControl::setIntegerMutationType(int v) {
    engine_->SetIntegerMutationType(static_cast<mvxIntegerMutationType>(v));
}
int TarnixControl::TerminationMode() const {
    return engine_->TerminationMode();
}
void TarnixControl::setTerminationMode(int v) {
    engine_->SetTerminationMode(static_cast<mvxTerminationType>(v));
}
bool TarnixControl::Elitism() const {
    return engine_->Elitism();
}
void TarnixControl::setElitism(bool v) {
    engine_->SetElitism(v);
}
int TarnixControl::PopulationSize() const {
    return engine_->PopulationSize();
}
void TarnixControl::setPopulationSize(int v) {
    engine_->SetPopulationSize(v);
}
float TarnixControl::MutationProbability() const {
    return engine_->MutationProbability();
}
void TarnixControl::setMutationProbability(float v) {
    engine_->SetMutationProbability(v);
}
float TarnixControl::CrossoverProbability() const {
    return engine_->CrossoverProbability();
}
void TarnixControl::setCrossoverProbability(float v) {
    engine_->SetCrossoverProbability(v);
}
int TarnixControl::NumberOfBinaryGenes() const {
    return engine_->NumberOfBinaryGenes();
}
void TarnixControl::setNumberOfBinaryGenes(int v) {
    engine_->SetNumberOfBinaryGenes(v);
}
int TarnixControl::NumberOfRealGenes() const {
    return engine_->NumberOfRealGenes();
}
void TarnixControl::setNumberOfRealGenes(int v) {
    engine_->SetNumberOfRealGenes(v);
}
int TarnixControl::NumberOfIntegerGenes() const {
    return engine_->NumberOfIntegerGenes();
}
void TarnixControl::setNumberOfIntegerGenes(int v) {
    engine_->SetNumberOfIntegerGenes(v);
}
int TarnixControl::MaximumRunTime() const {
    return engine_->MaximumRunTime();
}
void TarnixControl::setMaximumRunTime(int v) {
    engine_->SetMaximumRunTime(v);
}
int TarnixControl::MaximumGenerationsWithNoChange() const {
    return engine_->MaximumGenerationsWithNoChange();
}
void TarnixControl::setMaximumGenerationsWithNoChange(int v) {
    engine_->SetMaximumGenerationsWithNoChange(v);
}
int TarnixControl::NumberOfGenerations() const {
    return engine_->NumberOfGenerations();
}
void TarnixControl::setNumberOfGenerations(int v) {
    engine_->SetNumberOfGenerations(v);
}
float TarnixControl::RandomSeed() const {
    return engine_->RandomSeed();
}
void TarnixControl::setRandomSeed(float v) {
    engine_->SetRandomSeed(v);
}
bool TarnixControl::ShowErrorMessageBox() const {
    return engine_->ShowErrorMessageBox();
}
void TarnixControl::setShowErrorMessageBox(bool v) {
    engine_->SetShowErrorMessageBox(v);
}
int TarnixControl::ReportEveryGeneration() const {
    return engine_->ReportEveryGeneration();
}
void TarnixControl::setReportEveryGeneration(int v) {
    engine_->SetReportEveryGeneration(v);
}

int TarnixControl::DefineBinaryGenes(int numberOfGenes, const QVariantList& geneNumberOfBits,
                                     int lowerBound) {
    return engine_->DefineBinaryGenes(numberOfGenes, toBitCounts(geneNumberOfBits, lowerBound));
}

int TarnixControl::DefineRealGenes(int numberOfGenes, const QVariantList& geneMinValue,
                                   const QVariantList& geneMaxValue, int lowerBound) {
    return engine_->DefineRealGenes(numberOfGenes, toBounds(geneMinValue, lowerBound),
                                    toBounds(geneMaxValue, lowerBound));
}

int TarnixControl::DefineIntegerGenes(int numberOfGenes, const QVariantList& geneMinValue,
                                      const QVariantList& geneMaxValue, int lowerBound) {
    return engine_->DefineIntegerGenes(numberOfGenes, toBounds(geneMinValue, lowerBound),
                                       toBounds(geneMaxValue, lowerBound));
}

int TarnixControl::RunMoravex() {
    return engine_->RunMoravex();
}

QVariantMap TarnixControl::GetSolutionParameters() {
    Solution solution;
    const int result = engine_->GetSolutionParameters(solution);
    QVariantMap map;
    map.insert(QStringLiteral("Result"), result);
    map.insert(QStringLiteral("RunTime"), solution.runTime);
    map.insert(QStringLiteral("BestFitness"), solution.bestFitness);
    map.insert(QStringLiteral("BinaryGenes"), toVariant(solution.binaryGenes));
    map.insert(QStringLiteral("RealGenes"), toVariant(solution.realGenes));
    map.insert(QStringLiteral("IntegerGenes"), toVariant(solution.integerGenes));
    return map;
}

int TarnixControl::ResetMoravex() {
    return engine_->ResetMoravex();
}
void TarnixControl::ResetDefaults() {
    engine_->ResetDefaults();
}
void TarnixControl::ShowAboutBox() {
    engine_->ShowAboutBox();
}

}  // namespace tarnix::qt
