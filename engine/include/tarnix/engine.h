#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "tarnix/bounded_array.h"
#include "tarnix/enums.h"
#include "tarnix/events.h"
#include "tarnix/export.h"
#include "tarnix/gene_array.h"
#include "tarnix/host.h"
#include "tarnix/property_store.h"

namespace tarnix {

// The best chromosome of a finished run, as GetSolutionParameters reports it.
struct Solution {
    std::int32_t runTime = 0;  // whole seconds from the start to the end of the run
    float bestFitness = 0.0f;
    BinaryGeneArray binaryGenes;
    RealGeneArray realGenes;
    IntegerGeneArray integerGenes;
};

// The Tarnix genetic-algorithm engine.
//
// A host defines the genes (any mix of binary, real and integer genes), sets the
// properties, installs a FitnessFunction, calls RunMoravex and then reads the best
// chromosome with GetSolutionParameters:
//
//   tarnix::Engine ga;
//   ga.DefineBinaryGenes(3, {4, 4, 4});
//   ga.SetPopulationSize(50);
//   ga.SetRandomSeed(7);  // a fixed seed repeats a run exactly; 0 seeds from the clock
//   ga.SetFitnessFunction([](const tarnix::BinaryGeneArray& bin, const tarnix::RealGeneArray&,
//                            const tarnix::IntegerGeneArray&, std::int32_t, float& fitness) {
//       fitness = static_cast<float>((*bin)[0] + (*bin)[1] + (*bin)[2]);
//   });
//   if (ga.RunMoravex() == 0) {
//       tarnix::Solution best;
//       ga.GetSolutionParameters(best);
//   }
//
// Conventions. The engine raises no errors for bad input: a refused property value
// is ignored (the setter returns false) and, while ShowErrorMessageBox is true,
// its message is shown through Host::showMessage with the title "Moravex".
// Methods return 0 for success and 1 for failure or refusal. The only exceptions
// are those of the three read-only gene-count setters (ReadOnlyPropertyError).
//
// During a run (RunInProgress) the Define*Genes methods, GetSolutionParameters,
// ResetMoravex, ResetDefaults, LoadSettings and a second RunMoravex are refused;
// property setters stay open and take effect where the run next reads them.
// PopulationSize, NumberOfGenerations and the gene definitions are fixed when a
// run starts. Event handlers are taken when a run starts; installing new ones
// during a run takes effect with the next run. An exception thrown by a handler
// passes out of RunMoravex; the run is over and the engine idle again. A handler
// must not destroy the engine that raised it.
//
// Single-threaded: use one engine from one thread. Several engines may live side
// by side (on different threads too); they share nothing.
class TARNIX_API Engine {
  public:
    // host may be null (nothing is shown); it must outlive the engine.
    explicit Engine(Host* host = nullptr);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    void SetHost(Host* host);

    // --- Properties. A setter returns true when it stored the value. ---

    mvxSelectionType SelectionType() const;
    bool SetSelectionType(mvxSelectionType value);  // 0..4, default mvxTopMate
    mvxObjectiveFunctionType ObjectiveFunctionType() const;
    bool SetObjectiveFunctionType(mvxObjectiveFunctionType value);  // 0..1, default mvxMinimum
    mvxBinaryCrossoverType BinaryCrossoverType() const;
    bool SetBinaryCrossoverType(mvxBinaryCrossoverType value);  // 0..3, default mvxTwoPointsBCO
    mvxRealCrossoverType RealCrossoverType() const;
    bool SetRealCrossoverType(mvxRealCrossoverType value);  // 0..2, default mvxBlendingRCO
    mvxIntegerCrossoverType IntegerCrossoverType() const;
    bool SetIntegerCrossoverType(mvxIntegerCrossoverType value);  // 0..2, default mvxBlendingICO
    mvxBinaryMutationType BinaryMutationType() const;
    bool SetBinaryMutationType(mvxBinaryMutationType value);  // 0..1, default mvxFlipBitBMU
    mvxRealMutationType RealMutationType() const;
    bool SetRealMutationType(mvxRealMutationType value);  // 0..2, default mvxRandomRMU
    mvxIntegerMutationType IntegerMutationType() const;
    bool SetIntegerMutationType(mvxIntegerMutationType value);  // 0..2, default mvxRandomIMU
    mvxTerminationType TerminationMode() const;
    bool SetTerminationMode(mvxTerminationType value);  // 0..2, default mvxMaximumGenerations

    // Whether the best survivor is protected from mutation; default true.
    bool Elitism() const;
    bool SetElitism(bool value);
    // Even and at least 4; default 100.
    std::int32_t PopulationSize() const;
    bool SetPopulationSize(std::int32_t value);
    // 0 to 1 inclusive; default 0.1.
    float MutationProbability() const;
    bool SetMutationProbability(float value);
    // 0 to 1 inclusive; default 0.95. Stored and persisted only: every chosen pair is crossed.
    float CrossoverProbability() const;
    bool SetCrossoverProbability(float value);

    // Gene counts, set by the Define*Genes methods. The setters always throw
    // ReadOnlyPropertyError (387 at design time, 382 at run time).
    std::int32_t NumberOfBinaryGenes() const;
    void SetNumberOfBinaryGenes(std::int32_t value);
    std::int32_t NumberOfRealGenes() const;
    void SetNumberOfRealGenes(std::int32_t value);
    std::int32_t NumberOfIntegerGenes() const;
    void SetNumberOfIntegerGenes(std::int32_t value);

    // Seconds, at least 1; default 3600. Limit of the mvxElapsedTime mode.
    std::int32_t MaximumRunTime() const;
    bool SetMaximumRunTime(std::int32_t value);
    // At least 1; default 10. Limit of the mvxNoChangeInFitness mode.
    std::int32_t MaximumGenerationsWithNoChange() const;
    bool SetMaximumGenerationsWithNoChange(std::int32_t value);
    // At least 1; default 100. Upper bound on the generations in every mode.
    std::int32_t NumberOfGenerations() const;
    bool SetNumberOfGenerations(std::int32_t value);
    // Any value; default 0, which seeds from the system timer. With a fixed
    // non-zero seed two runs on fresh engines are identical.
    float RandomSeed() const;
    bool SetRandomSeed(float value);
    // Default true.
    bool ShowErrorMessageBox() const;
    bool SetShowErrorMessageBox(bool value);
    // 0 or more; default 0 (never). GenerationReport after every n-th generation.
    std::int32_t ReportEveryGeneration() const;
    bool SetReportEveryGeneration(std::int32_t value);

    // --- Methods ---

    // Binary genes: one bit count (1 to 31) per gene; numberOfGenes must equal the
    // element count of geneNumberOfBits. Returns 0, or 1 with NumberOfBinaryGenes 0.
    int DefineBinaryGenes(std::int32_t numberOfGenes, const BoundedArray<std::int32_t>& geneNumberOfBits);
    // Real genes: a minimum and a strictly greater maximum per gene (stored as
    // Single). Returns 0, or 1 with NumberOfRealGenes 0.
    int DefineRealGenes(std::int32_t numberOfGenes, const BoundedArray<double>& geneMinValue,
                        const BoundedArray<double>& geneMaxValue);
    // Integer genes: bounds are rounded to whole numbers (halves to even) and must
    // fit a 32-bit Long. Returns 0, or 1 with NumberOfIntegerGenes 0.
    int DefineIntegerGenes(std::int32_t numberOfGenes, const BoundedArray<double>& geneMinValue,
                           const BoundedArray<double>& geneMaxValue);

    // Runs the algorithm to its end. 0 after a normal end; 1 when a run is already
    // in progress (a call from inside an event handler) or a step of the run failed.
    int RunMoravex();

    // The best chromosome of the last run (member 0 of the final population) and
    // the run's time. Every output is optional (pass null to skip it). Returns 1
    // and fills nothing while a run is in progress; returns 1 with null arrays
    // when output was asked for but no run has produced a population yet.
    int GetSolutionParameters(std::int32_t* runTime = nullptr, float* bestFitness = nullptr,
                              BinaryGeneArray* binaryGenes = nullptr, RealGeneArray* realGenes = nullptr,
                              IntegerGeneArray* integerGenes = nullptr);
    int GetSolutionParameters(Solution& solution);

    // Discards every gene definition, the populations and the run data; the
    // settings keep their values. 1 when refused during a run.
    int ResetMoravex();
    // Unless a run is in progress, every property gets its default, the gene counts
    // become 0 (the definitions stay but a later run sees no genes).
    void ResetDefaults();
    // Shows the about window through Host::showAboutBox.
    void ShowAboutBox();

    bool RunInProgress() const;

    // --- Events (see events.h). Pass an empty function to remove a handler. ---

    void SetFitnessFunction(FitnessFunction handler);
    void SetGenerationReport(GenerationReport handler);
    void SetUserDefinedCrossoverFunction(UserDefinedCrossoverFunction handler);
    void SetUserDefinedMutationFunction(UserDefinedMutationFunction handler);

    // --- Persistence of the settings in the host's property store ---

    // Writes every setting whose value differs from its default, under the
    // property's name, in the engine's fixed key order.
    void SaveSettings(PropertyStore& store) const;
    // Reads every setting; a missing key gives the default. Values are taken as
    // stored, without the setters' checks (a run refuses settings it cannot use).
    // A value of the wrong kind is converted (a Long key accepts a whole Single,
    // a Boolean key any number); one that cannot be converted keeps the default.
    // Returns false, and changes nothing, during a run.
    bool LoadSettings(const PropertyStore& store);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarnix
