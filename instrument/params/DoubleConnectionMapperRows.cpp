// Global rows of the bender and LFO section, which act on both layers at once.
#include <memory>

#include "instrument/params/CorvanParameters.h"
#include "instrument/params/DoubleConnectionMappers.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

namespace {

constexpr int kOscillator1Slot = 2;
constexpr int kOscillator2Slot = 3;

// Sources and their routes (all of kind 0).
constexpr ConnectionRoute kBendToOscillator1{1, 5, 0, kOscillator1Slot, 0};
constexpr ConnectionRoute kBendToOscillator2{1, 5, 0, kOscillator2Slot, 0};
constexpr ConnectionRoute kBendToFilter{1, 5, 0, 5, 1};
constexpr ConnectionRoute kLfoToOscillator1{30, 0, 0, kOscillator1Slot, 0};
constexpr ConnectionRoute kLfoToOscillator2{30, 0, 0, kOscillator2Slot, 0};
constexpr ConnectionRoute kLfoToFilter{30, 0, 0, 5, 1};

constexpr uint16_t kBendSecondValue = 160;
constexpr uint16_t kLfoPitchSecondValue = 114;
constexpr uint16_t kLfoFilterSecondValue = 147;

} // namespace

void addDoubleConnectionRows(CorvanParameters& table) {
    CorvanKernelProgram& program = table.program();

    table.placeGlobalMapper(236, std::make_shared<ParameterMapperDoubleConnectionSwitchVCO>(
                                     "VCO1BndS", "VCO1BendSw", table, program, kOscillator1Slot));
    table.placeGlobalMapper(237, std::make_shared<ParameterMapperDoubleConnectionSwitchVCO>(
                                     "VCO2BndS", "VCO2BendSw", table, program, kOscillator2Slot));
    table.placeGlobalMapper(238, std::make_shared<CvnVCOBendAmount>("VCOBndAm", "VCOBendAmt", program,
                                                                    kBendToOscillator1, kBendToOscillator2));
    table.placeGlobalMapper(239, std::make_shared<ParameterMapperDoubleConnectionSwitchVCF>(
                                     "VCFBendS", "VCFBendSw", table, program, kBendToFilter.sourceSlot,
                                     kBendToFilter.sourcePort, kBendSecondValue, 240));
    table.placeGlobalMapper(240, std::make_shared<CvnVCFBendAmount>("VCFBndAm", "VCFBendAmt", program, kBendToFilter));

    table.placeGlobalMapper(241, std::make_shared<ParameterMapper2DoubleConnectionSwitch>(
                                     "VCOLFOSw", "VCOLFOSw", table, program, kLfoToOscillator2, kLfoToOscillator1,
                                     kLfoPitchSecondValue, 242));
    table.placeGlobalMapper(242, std::make_shared<ParameterMapper2DoubleConnectionAmount>(
                                     "VCOLFOAm", "VCOLFOAmt", program, kLfoToOscillator1, kLfoToOscillator2));
    table.placeGlobalMapper(243, std::make_shared<ParameterMapperDoubleConnectionSwitchVCF>(
                                     "VCFBndSw", "VCFBndSw", table, program, kLfoToFilter.sourceSlot,
                                     kLfoToFilter.sourcePort, kLfoFilterSecondValue, 244));
    table.placeGlobalMapper(244, std::make_shared<ParameterMapperDoubleConnectionAmount>("VCFLFOAm", "VCFLFOAmt",
                                                                                         program, kLfoToFilter));

    table.placeGlobalMapper(245, std::make_shared<ParameterMapperLFOButton>("LFOTrBtn", "LFOTrBtn", program));
}

} // namespace corvex
