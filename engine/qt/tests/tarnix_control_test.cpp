// The Qt control: properties and methods by name, signals answering the engine,
// its fixed size and its message box.

#include "tarnix/qt/tarnix_control.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QMetaProperty>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "tarnix/qt/settings_property_store.h"

using tarnix::qt::TarnixControl;

class TarnixControlTest : public QObject {
    Q_OBJECT

  private slots:
    void everyPropertyIsReachableByName_data();
    void everyPropertyIsReachableByName();
    void geneCountsAreHiddenFromPropertyBrowsers();
    void methodsAreInvokableByNameAndTheSignalAnswersFitness();
    void aReportWriteReachesTheEngine();
    void keepsItsFixedSize();
    void aRefusalShowsAMessageBoxTitledMoravex();
    void settingsSurviveAnIniFile();
};

void TarnixControlTest::everyPropertyIsReachableByName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("defaultValue");
    QTest::addColumn<QVariant>("newValue");
    QTest::newRow("SelectionType") << "SelectionType" << QVariant(0) << QVariant(3);
    QTest::newRow("ObjectiveFunctionType") << "ObjectiveFunctionType" << QVariant(0) << QVariant(1);
    QTest::newRow("BinaryCrossoverType") << "BinaryCrossoverType" << QVariant(1) << QVariant(2);
    QTest::newRow("RealCrossoverType") << "RealCrossoverType" << QVariant(0) << QVariant(1);
    QTest::newRow("IntegerCrossoverType") << "IntegerCrossoverType" << QVariant(0) << QVariant(2);
    QTest::newRow("BinaryMutationType") << "BinaryMutationType" << QVariant(0) << QVariant(1);
    QTest::newRow("RealMutationType") << "RealMutationType" << QVariant(0) << QVariant(1);
    QTest::newRow("IntegerMutationType") << "IntegerMutationType" << QVariant(0) << QVariant(1);
    QTest::newRow("TerminationMode") << "TerminationMode" << QVariant(0) << QVariant(2);
    QTest::newRow("Elitism") << "Elitism" << QVariant(true) << QVariant(false);
    QTest::newRow("PopulationSize") << "PopulationSize" << QVariant(100) << QVariant(20);
    QTest::newRow("MutationProbability") << "MutationProbability" << QVariant(0.1f) << QVariant(0.25f);
    QTest::newRow("CrossoverProbability") << "CrossoverProbability" << QVariant(0.95f) << QVariant(0.5f);
    QTest::newRow("MaximumRunTime") << "MaximumRunTime" << QVariant(3600) << QVariant(10);
    QTest::newRow("MaximumGenerationsWithNoChange")
        << "MaximumGenerationsWithNoChange" << QVariant(10) << QVariant(3);
    QTest::newRow("NumberOfGenerations") << "NumberOfGenerations" << QVariant(100) << QVariant(7);
    QTest::newRow("RandomSeed") << "RandomSeed" << QVariant(0.0f) << QVariant(4.0f);
    QTest::newRow("ShowErrorMessageBox") << "ShowErrorMessageBox" << QVariant(true) << QVariant(false);
    QTest::newRow("ReportEveryGeneration") << "ReportEveryGeneration" << QVariant(0) << QVariant(2);
}

void TarnixControlTest::everyPropertyIsReachableByName() {
    QFETCH(QString, name);
    QFETCH(QVariant, defaultValue);
    QFETCH(QVariant, newValue);
    TarnixControl control;
    const QByteArray key = name.toLatin1();
    QCOMPARE(control.property(key), defaultValue);
    QSignalSpy changed(&control, &TarnixControl::settingChanged);
    QVERIFY(control.setProperty(key, newValue));
    QCOMPARE(control.property(key), newValue);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), name);
}

void TarnixControlTest::geneCountsAreHiddenFromPropertyBrowsers() {
    const QMetaObject& meta = TarnixControl::staticMetaObject;
    for (const char* name : {"NumberOfBinaryGenes", "NumberOfRealGenes", "NumberOfIntegerGenes"}) {
        const int index = meta.indexOfProperty(name);
        QVERIFY2(index >= 0, name);
        QVERIFY(!meta.property(index).isDesignable());
    }
    QVERIFY(meta.property(meta.indexOfProperty("PopulationSize")).isDesignable());
}

void TarnixControlTest::methodsAreInvokableByNameAndTheSignalAnswersFitness() {
    TarnixControl control;
    control.setProperty("PopulationSize", 10);
    control.setProperty("NumberOfGenerations", 30);
    control.setProperty("RandomSeed", 2.0f);
    int defined = -1;
    QVERIFY(QMetaObject::invokeMethod(&control, "DefineBinaryGenes", Q_RETURN_ARG(int, defined),
                                      Q_ARG(int, 2), Q_ARG(QVariantList, (QVariantList{3, 5}))));
    QCOMPARE(defined, 0);
    QCOMPARE(control.property("NumberOfBinaryGenes").toInt(), 2);

    int evaluations = 0;
    connect(
        &control, &TarnixControl::FitnessFunction, &control,
        [&](const QVariant& binary, const QVariant& real, const QVariant& integer, int, float* fitness) {
            ++evaluations;
            QVERIFY(real.isNull());
            QVERIFY(integer.isNull());
            const QVariantList genes = binary.toList();
            *fitness = static_cast<float>(genes.at(0).toInt() + genes.at(1).toInt());
        },
        Qt::DirectConnection);
    int result = -1;
    QVERIFY(QMetaObject::invokeMethod(&control, "RunMoravex", Q_RETURN_ARG(int, result)));
    QCOMPARE(result, 0);
    QCOMPARE(evaluations, 10 * 30);

    QVariantMap solution;
    QVERIFY(
        QMetaObject::invokeMethod(&control, "GetSolutionParameters", Q_RETURN_ARG(QVariantMap, solution)));
    QCOMPARE(solution.value("Result").toInt(), 0);
    const QVariantList genes = solution.value("BinaryGenes").toList();
    QCOMPARE(genes.size(), 2);
    // The fitness the handler wrote is the one the engine kept for the best member.
    QCOMPARE(solution.value("BestFitness").toFloat(),
             static_cast<float>(genes.at(0).toInt() + genes.at(1).toInt()));
    QVERIFY(solution.value("RealGenes").isNull());
}

void TarnixControlTest::aReportWriteReachesTheEngine() {
    TarnixControl control;
    control.setPopulationSize(4);
    control.setNumberOfGenerations(20);
    control.setTerminationMode(2);
    control.setMaximumGenerationsWithNoChange(2);
    control.setReportEveryGeneration(1);
    QCOMPARE(control.DefineRealGenes(1, {0.0}, {1.0}), 0);
    int lastGeneration = 0;
    connect(
        &control, &TarnixControl::FitnessFunction, &control,
        [&](const QVariant&, const QVariant&, const QVariant&, int generation, float* fitness) {
            lastGeneration = generation;
            *fitness = 1.0f;
        },
        Qt::DirectConnection);
    // A new best every report: the no-change rule never fires.
    connect(
        &control, &TarnixControl::GenerationReport, &control,
        [](float* best, int generation, const QVariant&, const QVariant&, const QVariant&, int*, float*) {
            *best = static_cast<float>(generation);
        },
        Qt::DirectConnection);
    QCOMPARE(control.RunMoravex(), 0);
    QCOMPARE(lastGeneration, 20);
}

void TarnixControlTest::keepsItsFixedSize() {
    TarnixControl control;
    control.resize(200, 100);
    QCOMPARE(control.size(), QSize(32, 32));
    QCOMPARE(control.sizeHint(), QSize(32, 32));
}

void TarnixControlTest::aRefusalShowsAMessageBoxTitledMoravex() {
    TarnixControl control;
    control.show();
    QString title, text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr) {
            title = box->windowTitle();
            text = box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    control.setProperty("PopulationSize", 5);
    QCOMPARE(title, QStringLiteral("Moravex"));
    QCOMPARE(text, QStringLiteral("Population size must be greater then 4 and even"));
    QCOMPARE(control.property("PopulationSize").toInt(), 100);
}

void TarnixControlTest::settingsSurviveAnIniFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath("host.ini");
    {
        TarnixControl control;
        control.setPopulationSize(20);
        control.setMutationProbability(0.25f);
        control.setElitism(false);
        control.setSelectionType(3);
        QSettings settings(file, QSettings::IniFormat);
        tarnix::qt::SettingsPropertyStore store(settings);
        control.engine().SaveSettings(store);
        QCOMPARE(settings.allKeys().size(), 4);  // defaults are not written
    }
    QSettings settings(file, QSettings::IniFormat);  // read back as text
    settings.setValue("ReportEveryGeneration", "not a number");
    tarnix::qt::SettingsPropertyStore store(settings);
    TarnixControl control;
    QVERIFY(control.engine().LoadSettings(store));
    QCOMPARE(control.PopulationSize(), 20);
    QCOMPARE(control.MutationProbability(), 0.25f);
    QCOMPARE(control.Elitism(), false);
    QCOMPARE(control.SelectionType(), 3);
    QCOMPARE(control.ReportEveryGeneration(), 0);
}

QTEST_MAIN(TarnixControlTest)
#include "tarnix_control_test.moc"
