#include "tarnix/engine.h"

#include "engine_impl.h"
#include "settings_persistence.h"
#include "tarnix/help_text.h"
#include "tarnix/read_only_property_error.h"

namespace tarnix {

namespace {

bool inRange(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

bool isProbability(float value) {
    return value >= 0.0f && value <= 1.0f;
}

}  // namespace

void Engine::Impl::report(std::string_view message) const {
    if (settings.showErrorMessageBox && !message.empty()) {
        host->showMessage(message, kTitle);
    }
}

Engine::Engine(Host* host) : impl_(std::make_unique<Impl>()) {
    SetHost(host);
}

Engine::~Engine() = default;

void Engine::SetHost(Host* host) {
    impl_->host = host != nullptr ? host : &impl_->defaultHost;
}

// --- Enumerated properties ---

mvxSelectionType Engine::SelectionType() const {
    return static_cast<mvxSelectionType>(impl_->settings.selectionType);
}
bool Engine::SetSelectionType(mvxSelectionType value) {
    return impl_->assign<std::int32_t>(impl_->settings.selectionType, value, inRange(value, 0, 4),
                                       "SelectionType", "Invalid SelectionType value");
}

mvxObjectiveFunctionType Engine::ObjectiveFunctionType() const {
    return static_cast<mvxObjectiveFunctionType>(impl_->settings.objectiveFunctionType);
}
bool Engine::SetObjectiveFunctionType(mvxObjectiveFunctionType value) {
    return impl_->assign<std::int32_t>(impl_->settings.objectiveFunctionType, value, inRange(value, 0, 1),
                                       "ObjectiveFunctionType", "Invalid ObjectiveFunctionType value");
}

mvxBinaryCrossoverType Engine::BinaryCrossoverType() const {
    return static_cast<mvxBinaryCrossoverType>(impl_->settings.binaryCrossoverType);
}
bool Engine::SetBinaryCrossoverType(mvxBinaryCrossoverType value) {
    return impl_->assign<std::int32_t>(impl_->settings.binaryCrossoverType, value, inRange(value, 0, 3),
                                       "BinaryCrossoverType", "Invalid BinaryCrossoverType value");
}

mvxRealCrossoverType Engine::RealCrossoverType() const {
    return static_cast<mvxRealCrossoverType>(impl_->settings.realCrossoverType);
}
bool Engine::SetRealCrossoverType(mvxRealCrossoverType value) {
    return impl_->assign<std::int32_t>(impl_->settings.realCrossoverType, value, inRange(value, 0, 2),
                                       "RealCrossoverType", "Invalid RealCrossoverType value");
}

mvxIntegerCrossoverType Engine::IntegerCrossoverType() const {
    return static_cast<mvxIntegerCrossoverType>(impl_->settings.integerCrossoverType);
}
bool Engine::SetIntegerCrossoverType(mvxIntegerCrossoverType value) {
    return impl_->assign<std::int32_t>(impl_->settings.integerCrossoverType, value, inRange(value, 0, 2),
                                       "IntegerCrossoverType", "Invalid IntegerCrossoverType value");
}

mvxBinaryMutationType Engine::BinaryMutationType() const {
    return static_cast<mvxBinaryMutationType>(impl_->settings.binaryMutationType);
}
bool Engine::SetBinaryMutationType(mvxBinaryMutationType value) {
    return impl_->assign<std::int32_t>(impl_->settings.binaryMutationType, value, inRange(value, 0, 1),
                                       "BinaryMutationType", "Invalid BinaryMutationType value");
}

mvxRealMutationType Engine::RealMutationType() const {
    return static_cast<mvxRealMutationType>(impl_->settings.realMutationType);
}
bool Engine::SetRealMutationType(mvxRealMutationType value) {
    return impl_->assign<std::int32_t>(impl_->settings.realMutationType, value, inRange(value, 0, 2),
                                       "RealMutationType", "Invalid RealMutationType value");
}

mvxIntegerMutationType Engine::IntegerMutationType() const {
    return static_cast<mvxIntegerMutationType>(impl_->settings.integerMutationType);
}
bool Engine::SetIntegerMutationType(mvxIntegerMutationType value) {
    return impl_->assign<std::int32_t>(impl_->settings.integerMutationType, value, inRange(value, 0, 2),
                                       "IntegerMutationType", "Invalid IntegerMutationType value");
}

mvxTerminationType Engine::TerminationMode() const {
    return static_cast<mvxTerminationType>(impl_->settings.terminationMode);
}
bool Engine::SetTerminationMode(mvxTerminationType value) {
    return impl_->assign<std::int32_t>(impl_->settings.terminationMode, value, inRange(value, 0, 2),
                                       "TerminationMode", "Invalid TerminationMode value");
}

// --- Other properties ---

bool Engine::Elitism() const {
    return impl_->settings.elitism;
}
bool Engine::SetElitism(bool value) {
    return impl_->assign(impl_->settings.elitism, value, true, "Elitism", {});
}

std::int32_t Engine::PopulationSize() const {
    return impl_->settings.populationSize;
}
bool Engine::SetPopulationSize(std::int32_t value) {
    return impl_->assign(impl_->settings.populationSize, value, value >= 4 && value % 2 == 0,
                         "PopulationSize", "Population size must be greater then 4 and even");
}

float Engine::MutationProbability() const {
    return impl_->settings.mutationProbability;
}
bool Engine::SetMutationProbability(float value) {
    return impl_->assign(impl_->settings.mutationProbability, value, isProbability(value),
                         "MutationProbability", "Mutation probability must be between 0 and 1");
}

float Engine::CrossoverProbability() const {
    return impl_->settings.crossoverProbability;
}
bool Engine::SetCrossoverProbability(float value) {
    return impl_->assign(impl_->settings.crossoverProbability, value, isProbability(value),
                         "CrossoverProbability", "Crossover probability must be between 0 and 1");
}

std::int32_t Engine::NumberOfBinaryGenes() const {
    return impl_->settings.numberOfBinaryGenes;
}
std::int32_t Engine::NumberOfRealGenes() const {
    return impl_->settings.numberOfRealGenes;
}
std::int32_t Engine::NumberOfIntegerGenes() const {
    return impl_->settings.numberOfIntegerGenes;
}

namespace {

[[noreturn]] void refuseGeneCount(const Host& host) {
    throw ReadOnlyPropertyError(host.isDesignTime() ? ReadOnlyPropertyError::kSetNotPermitted
                                                    : ReadOnlyPropertyError::kSetNotSupportedAtRunTime);
}

}  // namespace

void Engine::SetNumberOfBinaryGenes(std::int32_t) {
    refuseGeneCount(*impl_->host);
}
void Engine::SetNumberOfRealGenes(std::int32_t) {
    refuseGeneCount(*impl_->host);
}
void Engine::SetNumberOfIntegerGenes(std::int32_t) {
    refuseGeneCount(*impl_->host);
}

std::int32_t Engine::MaximumRunTime() const {
    return impl_->settings.maximumRunTime;
}
bool Engine::SetMaximumRunTime(std::int32_t value) {
    return impl_->assign(impl_->settings.maximumRunTime, value, value >= 1, "MaximumRunTime",
                         "MaximumRunTime must be greater then 0");
}

std::int32_t Engine::MaximumGenerationsWithNoChange() const {
    return impl_->settings.maximumGenerationsWithNoChange;
}
bool Engine::SetMaximumGenerationsWithNoChange(std::int32_t value) {
    return impl_->assign(impl_->settings.maximumGenerationsWithNoChange, value, value >= 1,
                         "MaximumGenerationsWithNoChange",
                         "MaximumGenerationsWithNoChange must be greater then 0");
}

std::int32_t Engine::NumberOfGenerations() const {
    return impl_->settings.numberOfGenerations;
}
bool Engine::SetNumberOfGenerations(std::int32_t value) {
    return impl_->assign(impl_->settings.numberOfGenerations, value, value >= 1, "NumberOfGenerations",
                         "NumberOfGeneration must be greater then 0");
}

float Engine::RandomSeed() const {
    return impl_->settings.randomSeed;
}
bool Engine::SetRandomSeed(float value) {
    return impl_->assign(impl_->settings.randomSeed, value, true, "RandomSeed", {});
}

bool Engine::ShowErrorMessageBox() const {
    return impl_->settings.showErrorMessageBox;
}
bool Engine::SetShowErrorMessageBox(bool value) {
    return impl_->assign(impl_->settings.showErrorMessageBox, value, true, "ShowErrorMessageBox", {});
}

std::int32_t Engine::ReportEveryGeneration() const {
    return impl_->settings.reportEveryGeneration;
}
bool Engine::SetReportEveryGeneration(std::int32_t value) {
    return impl_->assign(impl_->settings.reportEveryGeneration, value, value >= 0, "ReportEveryGeneration",
                         "ReportEveryGeneration must be positive");
}

// --- Gene definitions ---

int Engine::DefineBinaryGenes(std::int32_t numberOfGenes,
                              const BoundedArray<std::int32_t>& geneNumberOfBits) {
    auto& count = impl_->settings.numberOfBinaryGenes;
    if (impl_->runInProgress) {
        count = 0;
        return 1;
    }
    const auto outcome = detail::defineBinaryGenes(impl_->definitions, numberOfGenes, geneNumberOfBits);
    count = outcome.count;
    impl_->report(outcome.message);
    return outcome.ok ? 0 : 1;
}

int Engine::DefineRealGenes(std::int32_t numberOfGenes, const BoundedArray<double>& geneMinValue,
                            const BoundedArray<double>& geneMaxValue) {
    auto& count = impl_->settings.numberOfRealGenes;
    if (impl_->runInProgress) {
        count = 0;
        return 1;
    }
    const auto outcome =
        detail::defineRealGenes(impl_->definitions, numberOfGenes, geneMinValue, geneMaxValue);
    count = outcome.count;
    impl_->report(outcome.message);
    return outcome.ok ? 0 : 1;
}

int Engine::DefineIntegerGenes(std::int32_t numberOfGenes, const BoundedArray<double>& geneMinValue,
                               const BoundedArray<double>& geneMaxValue) {
    auto& count = impl_->settings.numberOfIntegerGenes;
    if (impl_->runInProgress) {
        count = 0;
        return 1;
    }
    const auto outcome =
        detail::defineIntegerGenes(impl_->definitions, numberOfGenes, geneMinValue, geneMaxValue);
    count = outcome.count;
    impl_->report(outcome.message);
    return outcome.ok ? 0 : 1;
}

// --- Results and resets ---

int Engine::GetSolutionParameters(std::int32_t* runTime, float* bestFitness, BinaryGeneArray* binaryGenes,
                                  RealGeneArray* realGenes, IntegerGeneArray* integerGenes) {
    Impl& d = *impl_;
    if (d.runInProgress) {
        return 1;
    }
    const bool asked = runTime || bestFitness || binaryGenes || realGenes || integerGenes;
    if (d.population.empty()) {
        // No run has left a population (or ResetMoravex discarded it).
        if (binaryGenes) {
            binaryGenes->reset();
        }
        if (realGenes) {
            realGenes->reset();
        }
        if (integerGenes) {
            integerGenes->reset();
        }
        if (bestFitness) {
            *bestFitness = 0.0f;
        }
        if (runTime) {
            *runTime = 0;
        }
        return asked ? 1 : 0;
    }
    if (binaryGenes) {
        if (d.binaryGenes) {
            detail::decodeBinaryGenes(d.population.binary(0), d.layout, *d.binaryGenes);
        }
        *binaryGenes = d.binaryGenes;
    }
    if (realGenes) {
        if (d.realGenes) {
            const auto genes = d.population.real(0);
            d.realGenes->assign(genes.begin(), genes.end());
        }
        *realGenes = d.realGenes;
    }
    if (integerGenes) {
        if (d.integerGenes) {
            const auto genes = d.population.integer(0);
            d.integerGenes->assign(genes.begin(), genes.end());
        }
        *integerGenes = d.integerGenes;
    }
    if (bestFitness) {
        *bestFitness = d.fitnessTable.empty() ? 0.0f : d.fitnessTable.front().fitness;
    }
    if (runTime) {
        *runTime = d.secondsSince(d.runStartTime, d.runEndTime);
    }
    return 0;
}

int Engine::GetSolutionParameters(Solution& solution) {
    return GetSolutionParameters(&solution.runTime, &solution.bestFitness, &solution.binaryGenes,
                                 &solution.realGenes, &solution.integerGenes);
}

int Engine::ResetMoravex() {
    Impl& d = *impl_;
    if (d.runInProgress) {
        return 1;
    }
    d.definitions = {};
    d.layout = {};
    d.population.clear();
    d.nextPopulation.clear();
    d.fitnessTable.clear();
    d.binaryGenes.reset();
    d.realGenes.reset();
    d.integerGenes.reset();
    d.runStartTime = d.runEndTime = {};
    d.elapsedTime = 0;
    d.generationMeanFitness = 0.0f;
    d.settings.numberOfBinaryGenes = 0;
    d.settings.numberOfRealGenes = 0;
    d.settings.numberOfIntegerGenes = 0;
    return 0;
}

void Engine::ResetDefaults() {
    if (impl_->runInProgress) {
        return;
    }
    impl_->settings = detail::Settings{};
    for (const auto& field : detail::kSettingFields) {
        impl_->host->propertyChanged(field.name);
    }
}

void Engine::ShowAboutBox() {
    impl_->host->showAboutBox();
}

bool Engine::RunInProgress() const {
    return impl_->runInProgress;
}

int Engine::RunMoravex() {
    return impl_->run();
}

// --- Events ---

void Engine::SetFitnessFunction(FitnessFunction handler) {
    impl_->fitnessFunction = std::move(handler);
}
void Engine::SetGenerationReport(GenerationReport handler) {
    impl_->generationReport = std::move(handler);
}
void Engine::SetUserDefinedCrossoverFunction(UserDefinedCrossoverFunction handler) {
    impl_->crossoverFunction = std::move(handler);
}
void Engine::SetUserDefinedMutationFunction(UserDefinedMutationFunction handler) {
    impl_->mutationFunction = std::move(handler);
}

// --- Persistence ---

void Engine::SaveSettings(PropertyStore& store) const {
    detail::saveSettings(impl_->settings, store);
}

bool Engine::LoadSettings(const PropertyStore& store) {
    if (impl_->runInProgress) {
        return false;
    }
    impl_->settings = detail::loadSettings(store);
    return true;
}

}  // namespace tarnix
