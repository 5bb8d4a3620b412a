#include "import/record_models.h"

#include <array>

namespace zp {

namespace {

constexpr LineField kId{FieldKind::ModelId};
constexpr LineField kDate{FieldKind::DateText};
constexpr LineField kTime{FieldKind::TimeText};
constexpr LineField kHobbs{FieldKind::Hobbs};
constexpr LineField kMaint{FieldKind::Maintenance};
constexpr LineField value(Channel channel) {
    return LineField{FieldKind::Value, channel};
}
constexpr LineField ignored(int n) {
    return LineField{FieldKind::Value, ignoredSlot(n)};
}

// clang-format off
// [SECTION] Model 1: engine monitor
constexpr LineField kFields1[] = {
    kId, kDate, kTime, kHobbs, kMaint,
    value(VoltsSeries), value(RPM1Series), value(RPM1PSeries), value(RPM2Series), value(RPM2PSeries),
    ignored(0), value(Analog1Series), ignored(1), value(Analog2Series),
    ignored(2), value(Analog3Series), ignored(3), value(Analog4Series),
    value(MAPSeries), value(CurrentSeries), value(CJCSeries),
    value(TC1Series), value(TC2Series), value(TC3Series), value(TC4Series),
    value(TC5Series), value(TC6Series), value(TC7Series), value(TC8Series),
    value(TC9Series), value(TC10Series), value(TC11Series), value(TC12Series),
    value(FuelFlow1Series), value(FuelLevelCalcSeries)};
constexpr Channel kLegend1[] = {
    VoltsSeries, RPM1Series, RPM1PSeries, RPM2Series, RPM2PSeries,
    Analog1Series, Analog2Series, Analog3Series, Analog4Series, MAPSeries, CurrentSeries, CJCSeries,
    TC1Series, TC2Series, TC3Series, TC4Series, TC5Series, TC6Series,
    TC7Series, TC8Series, TC9Series, TC10Series, TC11Series, TC12Series,
    FuelFlow1Series, FuelLevelCalcSeries};
constexpr Channel kPlots1[] = {
    VoltsSeries, RPM1Series, RPM1PSeries, RPM2Series, RPM2PSeries,
    Analog1Series, Analog2Series, Analog3Series, Analog4Series, MAPSeries, CurrentSeries, CJCSeries,
    TC1Series, TC2Series, TC3Series, TC4Series, TC5Series, TC6Series,
    TC7Series, TC8Series, TC9Series, TC10Series, TC11Series, TC12Series,
    FuelFlow1Series, FuelLevelCalcSeries};

// [SECTION] Models 2 to 4: thermocouple and information units
constexpr LineField kFields2[] = {
    kId, kDate, kTime, value(CJCSeries),
    value(TC1Series), value(TC2Series), value(TC3Series), value(TC4Series)};
constexpr Channel kLegend2[] = {CJCSeries, TC1Series, TC2Series, TC3Series, TC4Series};
constexpr Channel kPlots2[] = {CJCSeries, TC1Series, TC2Series, TC3Series, TC4Series};

constexpr LineField kFields3[] = {
    kId, kDate, kTime, value(GForceSeries), value(VoltsSeries), value(CurrentSeries), value(OATSeries)};
constexpr Channel kLegend3[] = {VoltsSeries, CurrentSeries, OATSeries, GForceSeries};
constexpr Channel kPlots3[] = {GForceSeries, VoltsSeries, CurrentSeries, OATSeries};

constexpr LineField kFields4[] = {
    kId, kDate, kTime, value(CJCSeries),
    value(TC1Series), value(TC2Series), value(TC3Series), value(TC4Series),
    value(TC5Series), value(TC6Series), value(TC7Series), value(TC8Series),
    value(TC9Series), value(TC10Series), value(TC11Series), value(TC12Series),
    ignored(4)};
constexpr Channel kLegend4[] = {
    CJCSeries, TC1Series, TC2Series, TC3Series, TC4Series, TC5Series, TC6Series,
    TC7Series, TC8Series, TC9Series, TC10Series, TC11Series, TC12Series};
constexpr Channel kPlots4[] = {
    CJCSeries, TC1Series, TC2Series, TC3Series, TC4Series, TC5Series, TC6Series,
    TC7Series, TC8Series, TC9Series, TC10Series, TC11Series, TC12Series};

// [SECTION] Models 5 to 7: air data
constexpr LineField kFields5[] = {
    kId, kDate, kTime,
    value(Altitude1013Series), value(AltitudeSeries), value(QNHSeries), value(VSISeries)};
constexpr Channel kLegend5[] = {Altitude1013Series, AltitudeSeries, QNHSeries, VSISeries};
constexpr Channel kPlots5[] = {Altitude1013Series, AltitudeSeries, QNHSeries, VSISeries};

constexpr LineField kFields6[] = {
    kId, kDate, kTime,
    value(Altitude1013Series), value(AltitudeSeries), value(QNHSeries), value(VSISeries),
    value(AirspeedSeries)};
constexpr Channel kLegend6[] = {
    AirspeedSeries, Altitude1013Series, AltitudeSeries, QNHSeries, VSISeries};
constexpr Channel kPlots6[] = {
    Altitude1013Series, AltitudeSeries, QNHSeries, VSISeries, AirspeedSeries};

constexpr LineField kFields7[] = {kId, kDate, kTime, value(AirspeedSeries)};
constexpr Channel kLegend7[] = {AirspeedSeries};
constexpr Channel kPlots7[] = {AirspeedSeries};

// [SECTION] Models 8 to 11: engine sensors
constexpr LineField kFields8[] = {
    kId, kDate, kTime,
    ignored(5), value(Analog1Series), ignored(6), value(Analog2Series),
    ignored(7), value(Analog3Series), ignored(8), value(Analog4Series)};
constexpr Channel kLegend8[] = {Analog1Series, Analog2Series, Analog3Series, Analog4Series};
constexpr Channel kPlots8[] = {Analog1Series, Analog2Series, Analog3Series, Analog4Series};

constexpr LineField kFields9[] = {
    kId, kDate, kTime, kHobbs, kMaint,
    value(RPM1Series), value(RPM1PSeries), value(RPM2Series), value(RPM2PSeries)};
constexpr Channel kLegend9[] = {RPM1Series, RPM1PSeries, RPM2Series, RPM2PSeries};
constexpr Channel kPlots9[] = {RPM1Series, RPM1PSeries, RPM2Series, RPM2PSeries};

constexpr LineField kFields10[] = {
    kId, kDate, kTime, kHobbs, kMaint,
    value(RPM1Series), value(RPM1PSeries), value(MAPSeries), value(OATSeries)};
constexpr Channel kLegend10[] = {RPM1Series, RPM1PSeries, MAPSeries, OATSeries};
constexpr Channel kPlots10[] = {RPM1Series, RPM1PSeries, MAPSeries, OATSeries};

constexpr LineField kFields11[] = {
    kId, kDate, kTime,
    value(FuelFlow1Series), value(FuelFlow2Series), value(FuelLevel1Series),
    value(FuelLevel2Series), value(FuelPressureSeries)};
constexpr Channel kLegend11[] = {
    FuelFlow1Series, FuelFlow2Series, FuelLevel1Series, FuelLevel2Series, FuelPressureSeries};
constexpr Channel kPlots11[] = {
    FuelFlow1Series, FuelFlow2Series, FuelLevel1Series, FuelLevel2Series, FuelPressureSeries};

// [SECTION] Models 12 and 13: attitude and flight
constexpr LineField kFields12[] = {
    kId, kDate, kTime,
    value(BankSeries), value(PitchSeries), value(YawSeries), ignored(9), ignored(10),
    value(HeadingSeries), value(GForceSeries)};
constexpr Channel kLegend12[] = {BankSeries, PitchSeries, YawSeries, HeadingSeries, GForceSeries};
constexpr Channel kPlots12[] = {BankSeries, PitchSeries, YawSeries, HeadingSeries, GForceSeries};

constexpr LineField kFields13[] = {
    kId, kDate, kTime, kHobbs, kMaint,
    value(Altitude1013Series), value(AltitudeSeries), value(QNHSeries), value(VSISeries),
    value(AirspeedSeries), value(RPM1Series), value(RPM1PSeries), value(FuelFlow1Series),
    value(FuelLevel1Series), value(VoltsSeries), value(CurrentSeries), value(OATSeries)};
constexpr Channel kLegend13[] = {
    VoltsSeries, RPM1Series, RPM1PSeries, CurrentSeries, FuelFlow1Series, FuelLevel1Series,
    OATSeries, AirspeedSeries, Altitude1013Series, AltitudeSeries, QNHSeries, VSISeries};
constexpr Channel kPlots13[] = {
    Altitude1013Series, AltitudeSeries, QNHSeries, VSISeries, AirspeedSeries, RPM1Series,
    RPM1PSeries, FuelFlow1Series, FuelLevel1Series, VoltsSeries, CurrentSeries, OATSeries};

// [SECTION] The table
//  id  display name                          counters fields     trailing ","  legend     plots
const std::array<RecordModel, kModelCount> kModels = {{
    {1,  "Pexo KV-31 / Zimra KV-32",          true,  kFields1,  false, kLegend1,  kPlots1},
    {2,  "Pexo LR-33 / Zimra LR-34",          false, kFields2,  true,  kLegend2,  kPlots2},
    {3,  "Pexo DN-31 / Zimra DN-32",          false, kFields3,  false, kLegend3,  kPlots3},
    {4,  "Zimra LR-36",                       false, kFields4,  false, kLegend4,  kPlots4},
    {5,  "Pexo HX-35 / Zimra HX36/37",        false, kFields5,  false, kLegend5,  kPlots5},
    {6,  "Pexo WQ-31 / Zimra WQ-32",          false, kFields6,  false, kLegend6,  kPlots6},
    {7,  "Pexo WJ-34 / Zimra WJ-35",          false, kFields7,  false, kLegend7,  kPlots7},
    {8,  "Pexo GB-33 / Zimra GB-34",          false, kFields8,  false, kLegend8,  kPlots8},
    {9,  "Pexo NZ-31 / Zimra NZ-32",          true,  kFields9,  false, kLegend9,  kPlots9},
    {10, "Pexo CY-33 / Zimra CY-34",          true,  kFields10, false, kLegend10, kPlots10},
    {11, "Pexo SU-34 / Zimra SU-35",          false, kFields11, false, kLegend11, kPlots11},
    {12, "Pexo OPT-31/33 / Zimra OPT-32/34",  false, kFields12, false, kLegend12, kPlots12},
    {13, "Zimra Vantry-33",                   true,  kFields13, false, kLegend13, kPlots13},
}};
// clang-format on

}  // namespace

const RecordModel* recordModel(int id) {
    if (id < 1 || id > kModelCount) return nullptr;
    return &kModels[static_cast<std::size_t>(id - 1)];
}

std::string formatText(const RecordModel& model) {
    std::string text;
    for (const LineField& field : model.fields) {
        if (!text.empty()) text += ',';
        switch (field.kind) {
            case FieldKind::ModelId:
            case FieldKind::Hobbs:
            case FieldKind::Maintenance:
                text += "%d";
                break;
            case FieldKind::DateText:
            case FieldKind::TimeText:
                text += "%[^',']";
                break;
            case FieldKind::Value:
                text += "%f";
                break;
        }
    }
    if (model.trailingComma) text += ',';
    return text;
}

}  // namespace zp
