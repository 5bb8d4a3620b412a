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

constexpr ChannelPlot asRecorded(Channel channel) {
    return ChannelPlot{channel, nullptr, MapUnit};
}
constexpr ChannelPlot converted(Channel channel, ConversionFn fn, UnitSelector unit) {
    return ChannelPlot{channel, fn, unit};
}

// The plot entry of each channel: every model that records a channel plots it with
// the same conversion and selector.
constexpr ChannelPlot kVolts = asRecorded(VoltsSeries);
constexpr ChannelPlot kCurrent = asRecorded(CurrentSeries);
constexpr ChannelPlot kOat = converted(OATSeries, convertTemperature, OatUnit);
constexpr ChannelPlot kRpm1 = asRecorded(RPM1Series);
constexpr ChannelPlot kRpm1P = asRecorded(RPM1PSeries);
constexpr ChannelPlot kRpm2 = asRecorded(RPM2Series);
constexpr ChannelPlot kRpm2P = asRecorded(RPM2PSeries);
constexpr ChannelPlot kAnalog1 = converted(Analog1Series, convertAnalog, Analog1Unit);
constexpr ChannelPlot kAnalog2 = converted(Analog2Series, convertAnalog, Analog2Unit);
constexpr ChannelPlot kAnalog3 = converted(Analog3Series, convertAnalog, Analog3Unit);
constexpr ChannelPlot kAnalog4 = converted(Analog4Series, convertAnalog, Analog4Unit);
constexpr ChannelPlot kMap = converted(MAPSeries, convertMap, MapUnit);
constexpr ChannelPlot tc(Channel channel) {
    return converted(channel, convertTemperature, ThermocoupleUnit);
}
constexpr ChannelPlot kCjc = converted(CJCSeries, convertTemperature, OatUnit);
constexpr ChannelPlot kFuelFlow1 = converted(FuelFlow1Series, convertFuelFlow, FuelFlowUnit);
constexpr ChannelPlot kFuelFlow2 = converted(FuelFlow2Series, convertFuelFlow, FuelFlowUnit);
constexpr ChannelPlot kFuelLevel1 = converted(FuelLevel1Series, convertFuelLevel, FuelLevelUnit);
constexpr ChannelPlot kFuelLevel2 = converted(FuelLevel2Series, convertFuelLevel, FuelLevelUnit);
constexpr ChannelPlot kFuelPressure =
    converted(FuelPressureSeries, convertPressure, FuelPressureUnit);
constexpr ChannelPlot kAirspeed = converted(AirspeedSeries, convertAirspeed, AirspeedUnit);
constexpr ChannelPlot kAltitude1013 = converted(Altitude1013Series, convertAltitude, AltitudeUnit);
constexpr ChannelPlot kAltitude = converted(AltitudeSeries, convertAltitude, AltitudeUnit);
constexpr ChannelPlot kQnh = converted(QNHSeries, convertMap, QnhUnit);
constexpr ChannelPlot kVsi = converted(VSISeries, convertVsi, VsiUnit);
constexpr ChannelPlot kGForce = asRecorded(GForceSeries);
constexpr ChannelPlot kBank = asRecorded(BankSeries);
constexpr ChannelPlot kPitch = asRecorded(PitchSeries);
constexpr ChannelPlot kYaw = asRecorded(YawSeries);
constexpr ChannelPlot kHeading = asRecorded(HeadingSeries);
constexpr ChannelPlot kFuelLevelCalc =
    converted(FuelLevelCalcSeries, convertFuelLevel, FuelLevelUnit);

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
constexpr ChannelPlot kPlots1[] = {
    kVolts, kRpm1, kRpm1P, kRpm2, kRpm2P, kAnalog1, kAnalog2, kAnalog3, kAnalog4, kMap, kCurrent, kCjc,
    tc(TC1Series), tc(TC2Series), tc(TC3Series), tc(TC4Series), tc(TC5Series), tc(TC6Series),
    tc(TC7Series), tc(TC8Series), tc(TC9Series), tc(TC10Series), tc(TC11Series), tc(TC12Series),
    kFuelFlow1, kFuelLevelCalc};

// [SECTION] Models 2 to 4: thermocouple and information units
constexpr LineField kFields2[] = {
    kId, kDate, kTime, value(CJCSeries),
    value(TC1Series), value(TC2Series), value(TC3Series), value(TC4Series)};
constexpr Channel kLegend2[] = {CJCSeries, TC1Series, TC2Series, TC3Series, TC4Series};
constexpr ChannelPlot kPlots2[] = {
    kCjc, tc(TC1Series), tc(TC2Series), tc(TC3Series), tc(TC4Series)};

constexpr LineField kFields3[] = {
    kId, kDate, kTime, value(GForceSeries), value(VoltsSeries), value(CurrentSeries), value(OATSeries)};
constexpr Channel kLegend3[] = {VoltsSeries, CurrentSeries, OATSeries, GForceSeries};
constexpr ChannelPlot kPlots3[] = {kGForce, kVolts, kCurrent, kOat};

constexpr LineField kFields4[] = {
    kId, kDate, kTime, value(CJCSeries),
    value(TC1Series), value(TC2Series), value(TC3Series), value(TC4Series),
    value(TC5Series), value(TC6Series), value(TC7Series), value(TC8Series),
    value(TC9Series), value(TC10Series), value(TC11Series), value(TC12Series),
    ignored(4)};
constexpr Channel kLegend4[] = {
    CJCSeries, TC1Series, TC2Series, TC3Series, TC4Series, TC5Series, TC6Series,
    TC7Series, TC8Series, TC9Series, TC10Series, TC11Series, TC12Series};
constexpr ChannelPlot kPlots4[] = {
    kCjc, tc(TC1Series), tc(TC2Series), tc(TC3Series), tc(TC4Series), tc(TC5Series), tc(TC6Series),
    tc(TC7Series), tc(TC8Series), tc(TC9Series), tc(TC10Series), tc(TC11Series), tc(TC12Series)};

// [SECTION] Models 5 to 7: air data
constexpr LineField kFields5[] = {
    kId, kDate, kTime,
    value(Altitude1013Series), value(AltitudeSeries), value(QNHSeries), value(VSISeries)};
constexpr Channel kLegend5[] = {Altitude1013Series, AltitudeSeries, QNHSeries, VSISeries};
constexpr ChannelPlot kPlots5[] = {kAltitude1013, kAltitude, kQnh, kVsi};

constexpr LineField kFields6[] = {
    kId, kDate, kTime,
    value(Altitude1013Series), value(AltitudeSeries), value(QNHSeries), value(VSISeries),
    value(AirspeedSeries)};
constexpr Channel kLegend6[] = {
    AirspeedSeries, Altitude1013Series, AltitudeSeries, QNHSeries, VSISeries};
constexpr ChannelPlot kPlots6[] = {kAltitude1013, kAltitude, kQnh, kVsi, kAirspeed};

constexpr LineField kFields7[] = {kId, kDate, kTime, value(AirspeedSeries)};
constexpr Channel kLegend7[] = {AirspeedSeries};
constexpr ChannelPlot kPlots7[] = {kAirspeed};

// [SECTION] Models 8 to 11: engine sensors
constexpr LineField kFields8[] = {
    kId, kDate, kTime,
    ignored(5), value(Analog1Series), ignored(6), value(Analog2Series),
    ignored(7), value(Analog3Series), ignored(8), value(Analog4Series)};
constexpr Channel kLegend8[] = {Analog1Series, Analog2Series, Analog3Series, Analog4Series};
constexpr ChannelPlot kPlots8[] = {kAnalog1, kAnalog2, kAnalog3, kAnalog4};

constexpr LineField kFields9[] = {
    kId, kDate, kTime, kHobbs, kMaint,
    value(RPM1Series), value(RPM1PSeries), value(RPM2Series), value(RPM2PSeries)};
constexpr Channel kLegend9[] = {RPM1Series, RPM1PSeries, RPM2Series, RPM2PSeries};
constexpr ChannelPlot kPlots9[] = {kRpm1, kRpm1P, kRpm2, kRpm2P};

constexpr LineField kFields10[] = {
    kId, kDate, kTime, kHobbs, kMaint,
    value(RPM1Series), value(RPM1PSeries), value(MAPSeries), value(OATSeries)};
constexpr Channel kLegend10[] = {RPM1Series, RPM1PSeries, MAPSeries, OATSeries};
constexpr ChannelPlot kPlots10[] = {kRpm1, kRpm1P, kMap, kOat};

constexpr LineField kFields11[] = {
    kId, kDate, kTime,
    value(FuelFlow1Series), value(FuelFlow2Series), value(FuelLevel1Series),
    value(FuelLevel2Series), value(FuelPressureSeries)};
constexpr Channel kLegend11[] = {
    FuelFlow1Series, FuelFlow2Series, FuelLevel1Series, FuelLevel2Series, FuelPressureSeries};
constexpr ChannelPlot kPlots11[] = {kFuelFlow1, kFuelFlow2, kFuelLevel1, kFuelLevel2, kFuelPressure};

// [SECTION] Models 12 and 13: attitude and flight
constexpr LineField kFields12[] = {
    kId, kDate, kTime,
    value(BankSeries), value(PitchSeries), value(YawSeries), ignored(9), ignored(10),
    value(HeadingSeries), value(GForceSeries)};
constexpr Channel kLegend12[] = {BankSeries, PitchSeries, YawSeries, HeadingSeries, GForceSeries};
constexpr ChannelPlot kPlots12[] = {kBank, kPitch, kYaw, kHeading, kGForce};

constexpr LineField kFields13[] = {
    kId, kDate, kTime, kHobbs, kMaint,
    value(Altitude1013Series), value(AltitudeSeries), value(QNHSeries), value(VSISeries),
    value(AirspeedSeries), value(RPM1Series), value(RPM1PSeries), value(FuelFlow1Series),
    value(FuelLevel1Series), value(VoltsSeries), value(CurrentSeries), value(OATSeries)};
constexpr Channel kLegend13[] = {
    VoltsSeries, RPM1Series, RPM1PSeries, CurrentSeries, FuelFlow1Series, FuelLevel1Series,
    OATSeries, AirspeedSeries, Altitude1013Series, AltitudeSeries, QNHSeries, VSISeries};
constexpr ChannelPlot kPlots13[] = {
    kAltitude1013, kAltitude, kQnh, kVsi, kAirspeed, kRpm1, kRpm1P, kFuelFlow1, kFuelLevel1,
    kVolts, kCurrent, kOat};

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
