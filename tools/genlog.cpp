// genlog: writes example log files of the Pexo and Zimra instruments, one record per
// line, following a plausible flight (taxi, climb, cruise, descent, taxi).
// The options and what they do are in one table, genlog_command.cpp, which the usage and
// --help are written from.
#include <QDate>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/genlog_command.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A small deterministic generator, so that the same options give the same file.
class Noise {
  public:
    explicit Noise(std::uint64_t seed) : state_(seed * 2654435761u + 0x9e3779b97f4a7c15ull) {}
    double uniform() {  // [-1, 1)
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ull << 52) - 1.0;
    }

  private:
    std::uint64_t state_;
};

double smoothStep(double a, double b, double x) {
    if (x <= a) return 0.0;
    if (x >= b) return 1.0;
    const double t = (x - a) / (b - a);
    return t * t * (3 - 2 * t);
}

// The state of the aircraft at a fraction of the flight, with a little noise.
struct Flight {
    double rpm, rpmPercent, rpm2, rpm2Percent, map, fuelFlow, fuelFlow2;
    double altitude, altitude1013, qnh, vsi, airspeed, oat;
    double volts, current, gForce, bank, pitch, yaw, heading;
    double egt[4], cht[4], misc[4], cjc;
    double oilTemp, oilPressure, coolant, tankLitres, fuelLevel1, fuelLevel2, fuelPressure;
};

class Profile {
  public:
    Profile(double durationSeconds, std::uint64_t seed)
        : duration_(std::max(durationSeconds, 60.0)), noise_(seed) {}

    Flight at(double t) {
        const double p = std::clamp(t / duration_, 0.0, 1.0);
        Flight f{};
        // Power: idle on the ground, full for take-off and climb, cruise, idle descent.
        const double takeoff = smoothStep(0.06, 0.10, p);
        const double cruise = smoothStep(0.40, 0.45, p);
        const double descent = smoothStep(0.78, 0.82, p);
        const double landed = smoothStep(0.94, 0.97, p);
        double power = 0.25 + 0.75 * takeoff - 0.2 * cruise - 0.3 * descent - 0.25 * landed;
        power = std::clamp(power, 0.2, 1.0);
        f.rpm = 1400 + 4100 * power + 15 * noise_.uniform();
        f.rpmPercent = f.rpm / 5800 * 100;
        f.rpm2 = f.rpm - 12 + 10 * noise_.uniform();
        f.rpm2Percent = f.rpm2 / 5800 * 100;
        // Climb to 4500 ft, level, descend.
        const double climb = smoothStep(0.10, 0.40, p);
        const double down = smoothStep(0.80, 0.95, p);
        const double agl = 4500 * climb * (1 - down);
        f.qnh = 1018.0;
        f.altitude = 350 + agl + 6 * noise_.uniform();
        f.altitude1013 = f.altitude - (f.qnh - 1013.25) * 27.3;
        const double slope =
            4500 * (dSmooth(0.10, 0.40, p) * (1 - down) - climb * dSmooth(0.80, 0.95, p)) /
            duration_;
        f.vsi = slope * 60 + 25 * noise_.uniform();
        f.airspeed = landed > 0.5 ? 12 + 3 * noise_.uniform()
                                  : 15 + (95 + 10 * cruise) * takeoff + 2 * noise_.uniform();
        f.map = 1013.25 * std::exp(-f.altitude / 27000) * (0.55 + 0.45 * power);
        f.fuelFlow = 4 + 22 * power * power + 0.4 * noise_.uniform();
        f.fuelFlow2 = f.fuelFlow * 0.5 + 0.2 * noise_.uniform();
        burned_ += f.fuelFlow / 3600 * (t - lastT_);
        if (burned_ > 60) burned_ = 0;  // a long log: the tanks were filled up again
        lastT_ = t;
        f.tankLitres = 80 - burned_;
        f.fuelLevel1 = 45 - burned_ * 0.6 + 0.3 * noise_.uniform();
        f.fuelLevel2 = 35 - burned_ * 0.4 + 0.3 * noise_.uniform();
        f.fuelPressure = 4.2 + 1.3 * power + 0.1 * noise_.uniform();
        f.oat = 18 - 2 * f.altitude / 1000 + 0.2 * noise_.uniform();
        f.volts = 13.9 + 0.15 * noise_.uniform();
        f.current = 6 + 4 * power + 0.5 * noise_.uniform();
        const double turn = std::sin(2 * kPi * p * 3);
        f.bank = 25 * turn * (1 - landed) * takeoff + 1.5 * noise_.uniform();
        f.pitch = 1.5 + 4 * f.vsi / 700 + 0.8 * noise_.uniform();
        f.yaw = 1.5 * noise_.uniform();
        heading_ = std::fmod(heading_ + f.bank * 0.02 + 360.0, 360.0);
        f.heading = heading_;
        f.gForce = 1.0 / std::cos(f.bank * kPi / 180) + 0.04 * noise_.uniform();
        for (int i = 0; i < 4; ++i) {
            f.egt[i] = 600 + 180 * power + 12 * i + 4 * noise_.uniform();
            f.cht[i] = 85 + 35 * power * takeoff + 3 * i + noise_.uniform();
            f.misc[i] = 60 + 20 * power + 2 * i + noise_.uniform();
        }
        f.cjc = 28 + 4 * takeoff + 0.3 * noise_.uniform();
        f.oilTemp = 60 + 35 * smoothStep(0.0, 0.3, p) + noise_.uniform();
        f.oilPressure = 38 + 18 * power + 0.5 * noise_.uniform();
        f.coolant = 55 + 40 * smoothStep(0.0, 0.25, p) + noise_.uniform();
        return f;
    }

  private:
    // Slope of smoothStep per unit of p.
    static double dSmooth(double a, double b, double x) {
        if (x <= a || x >= b) return 0.0;
        const double t = (x - a) / (b - a);
        return 6 * t * (1 - t) / (b - a);
    }

    double duration_;
    Noise noise_;
    double burned_ = 0;
    double lastT_ = 0;
    double heading_ = 270;
};

struct Options {
    int model = 0;
    std::string scenario;
    double minutes = 15;
    long long count = -1;
    int rate = 1;
    int start = 10 * 3600;
    QDate date = QDate(2024, 5, 12);
    std::uint64_t seed = 1;
    bool crlf = false;
    const char* output = nullptr;
    int flights = 1;
    long gap = 3600;  // seconds between one flight's last record and the next one's first
    // A slow drift: `driftStep` added to the drifting value once per flight, counting
    // flights from `firstFlight` (so a folder of files made one by one drifts on).
    double& (*drift)(Flight&) = nullptr;
    double driftStep = 0.0;
    int firstFlight = 0;
};

// The values --drift can move, by name.
struct DriftTarget {
    const char* name;
    double& (*value)(Flight&);
};
const DriftTarget kDriftTargets[] = {
    {"cht1", [](Flight& f) -> double& { return f.cht[0]; }},
    {"cht2", [](Flight& f) -> double& { return f.cht[1]; }},
    {"cht3", [](Flight& f) -> double& { return f.cht[2]; }},
    {"cht4", [](Flight& f) -> double& { return f.cht[3]; }},
    {"egt1", [](Flight& f) -> double& { return f.egt[0]; }},
    {"oil-temp", [](Flight& f) -> double& { return f.oilTemp; }},
    {"oil-pressure", [](Flight& f) -> double& { return f.oilPressure; }},
    {"fuel-flow", [](Flight& f) -> double& { return f.fuelFlow; }},
};

// Counters: Hobbs and maintenance time in tenths of an hour, counting engine time.
struct Counters {
    long hobbs = 12345;
    long maintenance = 487;
    void at(double t) {
        hobbsNow = hobbs + static_cast<long>(t / 360);
        maintenanceNow = maintenance + static_cast<long>(t / 360);
    }
    long hobbsNow = 0, maintenanceNow = 0;
};

class Writer {
  public:
    Writer(std::FILE* out, const Options& options) : out_(out), options_(options) {}

    // One record of `model` at `second` seconds after the start of the flight.
    void record(int model, double t, Flight& f, Counters& counters) {
        counters.at(t);
        line_.clear();
        const long clock = options_.start + static_cast<long>(t);
        const long daySecond = clock % 86400;
        const QDate date = options_.date.addDays(clock / 86400);
        char head[64];
        std::snprintf(head, sizeof head, "%d,%02d/%02d/%04d,%02ld:%02ld:%02ld", model, date.day(),
                      date.month(), date.year(), daySecond / 3600, daySecond / 60 % 60,
                      daySecond % 60);
        line_ += head;
        auto num = [this](double v, int decimals) {
            char text[40];
            std::snprintf(text, sizeof text, ",%.*f", decimals, v);
            line_ += text;
        };
        auto counter = [this](long v) { line_ += ',' + std::to_string(v); };
        switch (model) {
            case 1:
                counter(counters.hobbsNow), counter(counters.maintenanceNow);
                num(f.volts, 1), num(f.rpm, 0), num(f.rpmPercent, 1), num(f.rpm2, 0);
                num(f.rpm2Percent, 1);
                num(0, 0), num(f.oilTemp, 1), num(0, 0), num(f.oilPressure, 1);
                num(0, 0), num(f.coolant, 1), num(0, 0), num(f.tankLitres, 1);
                num(f.map, 1), num(f.current, 1), num(f.cjc, 1);
                for (double v : f.egt) num(v, 0);
                for (double v : f.cht) num(v, 0);
                for (double v : f.misc) num(v, 0);
                num(f.fuelFlow, 1), num(f.tankLitres, 1);
                break;
            case 2:
                num(f.cjc, 1);
                for (double v : f.egt) num(v, 0);
                line_ += ',';
                break;
            case 3:
                num(f.gForce, 2), num(f.volts, 1), num(f.current, 1), num(f.oat, 1);
                break;
            case 4:
                num(f.cjc, 1);
                for (double v : f.egt) num(v, 0);
                for (double v : f.cht) num(v, 0);
                for (double v : f.misc) num(v, 0);
                num(0, 0);
                break;
            case 5:
            case 6:
                num(f.altitude1013, 0), num(f.altitude, 0), num(f.qnh, 1), num(f.vsi, 0);
                if (model == 6) num(f.airspeed, 1);
                break;
            case 7:
                num(f.airspeed, 1);
                break;
            case 8:
                num(0, 0), num(f.oilTemp, 1), num(0, 0), num(f.oilPressure, 1);
                num(0, 0), num(f.current, 1), num(0, 0), num(f.volts, 2);
                break;
            case 9:
                counter(counters.hobbsNow), counter(counters.maintenanceNow);
                num(f.rpm, 0), num(f.rpmPercent, 1), num(f.rpm2, 0), num(f.rpm2Percent, 1);
                break;
            case 10:
                counter(counters.hobbsNow), counter(counters.maintenanceNow);
                num(f.rpm, 0), num(f.rpmPercent, 1), num(f.map, 1), num(f.oat, 1);
                break;
            case 11:
                num(f.fuelFlow, 1), num(f.fuelFlow2, 1), num(f.fuelLevel1, 1);
                num(f.fuelLevel2, 1), num(f.fuelPressure, 2);
                break;
            case 12:
                num(f.bank, 1), num(f.pitch, 1), num(f.yaw, 1), num(0, 0), num(0, 0);
                num(f.heading, 1), num(f.gForce, 2);
                break;
            case 13:
                counter(counters.hobbsNow), counter(counters.maintenanceNow);
                num(f.altitude1013, 0), num(f.altitude, 0), num(f.qnh, 1), num(f.vsi, 0);
                num(f.airspeed, 1), num(f.rpm, 0), num(f.rpmPercent, 1), num(f.fuelFlow, 1);
                num(f.fuelLevel1, 1), num(f.volts, 1), num(f.current, 1), num(f.oat, 1);
                break;
        }
        line_ += options_.crlf ? "\r\n" : "\n";
        std::fwrite(line_.data(), 1, line_.size(), out_);
    }

  private:
    std::FILE* out_;
    const Options& options_;
    std::string line_;
};

// The lean-sweep scenario: an engine monitor (model 1) in cruise, where after two
// minutes the pilot leans the mixture from 14 to 8 gph over ten minutes, then holds it
// two more minutes. Each cylinder's EGT (TC1-TC6 of six cylinders: TC1-TC4 of the
// monitor's first group and TC9-TC10 of its third) peaks at its own fuel flow, in
// kLeanPeakFlows; the CHTs (TC5-TC8, TC11-TC12) follow the EGTs. The fuel flow is
// recorded with one decimal, the EGTs to the degree, with no noise.
constexpr double kLeanPeakFlows[6] = {11.0, 11.3, 10.8, 11.5, 11.1, 10.9};

void writeLeanSweep(Writer& writer, const Options& options, Counters& counters) {
    Profile profile(16 * 60, options.seed);
    for (int t = 0; t < 16 * 60; ++t) {
        Flight f = profile.at(0.5 * 16 * 60);  // cruise: the rest of the record
        const double lean = std::clamp((t - 120) / 600.0, 0.0, 1.0);
        f.fuelFlow = 14.0 - 6.0 * lean;
        const double flow = std::round(f.fuelFlow * 10) / 10;
        double egt[6], cht[6];
        for (int c = 0; c < 6; ++c) {
            // Rich of peak the EGT rises as the flow falls; lean of it, it falls faster.
            const double d = flow - kLeanPeakFlows[c];
            egt[c] = 1450 + 8 * c - (d > 0 ? 60 * d : 90 * -d);
            cht[c] = 360 + 5 * c + 0.05 * (egt[c] - 1400);
        }
        for (int i = 0; i < 4; ++i) f.egt[i] = egt[i], f.cht[i] = cht[i];
        f.misc[0] = egt[4], f.misc[1] = egt[5], f.misc[2] = cht[4], f.misc[3] = cht[5];
        writer.record(1, t, f, counters);
    }
}

// The name genlog was invoked by, which its usage repeats.
std::string_view programName = "genlog";

[[noreturn]] void usage(const char* problem) {
    std::fprintf(stderr, "genlog: %s\n%s", problem,
                 zp::tools::usageText(programName, zp::genlog::commandPage()).c_str());
    std::exit(2);
}

[[noreturn]] void help() {
    const std::string text = zp::tools::helpText(programName, zp::genlog::commandPage());
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::exit(std::fflush(stdout) == 0 ? 0 : 1);
}

Options parse(int argc, char** argv) {
    Options o;
    programName = zp::tools::invokedName(argv[0], "genlog");
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") help();
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) usage(("missing value for " + arg).c_str());
            return argv[++i];
        };
        if (arg == "--model") {
            o.model = std::atoi(value());
            if (o.model < 1 || o.model > 13) usage("--model takes 1 to 13");
        } else if (arg == "--scenario") {
            o.scenario = value();
        } else if (arg == "--minutes") {
            o.minutes = std::atof(value());
        } else if (arg == "--count") {
            o.count = std::atoll(value());
        } else if (arg == "--rate") {
            o.rate = std::max(1, std::atoi(value()));
        } else if (arg == "--start") {
            int h = 0, m = 0, s = 0;
            if (std::sscanf(value(), "%d:%d:%d", &h, &m, &s) != 3) usage("--start takes HH:MM:SS");
            o.start = ((h * 60 + m) * 60 + s) % 86400;
        } else if (arg == "--date") {
            o.date = QDate::fromString(QString::fromLatin1(value()), QStringLiteral("dd/MM/yyyy"));
            if (!o.date.isValid()) usage("--date takes DD/MM/YYYY");
        } else if (arg == "--seed") {
            o.seed = std::strtoull(value(), nullptr, 10);
        } else if (arg == "--flights") {
            o.flights = std::atoi(value());
            if (o.flights < 1) usage("--flights takes a number of flights of at least 1");
        } else if (arg == "--gap") {
            o.gap = std::atol(value());
            if (o.gap < 0) usage("--gap takes seconds");
        } else if (arg == "--drift") {
            // NAME:STEP, NAME one of kDriftTargets.
            const std::string text = value();
            const auto colon = text.rfind(':');
            char* end = nullptr;
            const std::string step = colon == std::string::npos ? "" : text.substr(colon + 1);
            o.driftStep = std::strtod(step.c_str(), &end);
            if (step.empty() || *end != '\0') usage("--drift takes NAME:STEP");
            const std::string name = text.substr(0, colon);
            o.drift = nullptr;
            for (const DriftTarget& target : kDriftTargets)
                if (name == target.name) o.drift = target.value;
            if (!o.drift)
                usage("--drift takes cht1 to cht4, egt1, oil-temp, oil-pressure or fuel-flow");
        } else if (arg == "--first-flight") {
            o.firstFlight = std::atoi(value());
            if (o.firstFlight < 0) usage("--first-flight takes a number of at least 0");
        } else if (arg == "--crlf") {
            o.crlf = true;
        } else if (arg == "-o") {
            o.output = value();
        } else {
            usage(("unknown argument " + arg).c_str());
        }
    }
    if ((o.model == 0) == o.scenario.empty()) usage("give either --model or --scenario");
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    Options options = parse(argc, argv);
    std::FILE* out = options.output ? std::fopen(options.output, "wb") : stdout;
    if (!out) usage("cannot write the output file");
    static char buffer[1 << 20];
    std::setvbuf(out, buffer, _IOFBF, sizeof buffer);
    Writer writer(out, options);
    Counters counters;

    if (options.model != 0) {
        const long long lines = options.count >= 0
                                    ? options.count
                                    : static_cast<long long>(options.minutes * 60) * options.rate;
        // Flight k gets lines [k * lines / N, (k + 1) * lines / N); its records start
        // `gap` seconds after the previous flight's last second.
        double flightStart = 0;
        for (int k = 0; k < options.flights; ++k) {
            const long long first = lines * k / options.flights;
            const long long end = lines * (k + 1) / options.flights;
            Profile profile(static_cast<double>(end - first) / options.rate,
                            options.seed + static_cast<std::uint64_t>(k));
            double t = flightStart;
            for (long long n = 0; n < end - first; ++n) {
                t = flightStart + static_cast<double>(n / options.rate);
                Flight f = profile.at(t - flightStart);
                if (options.drift)
                    options.drift(f) += options.driftStep * (options.firstFlight + k);
                writer.record(options.model, t, f, counters);
            }
            flightStart = t + static_cast<double>(options.gap);
        }
    } else if (options.scenario == "mixed") {
        // Engine monitor, air data, attitude and information unit, each once a second.
        Profile profile(10 * 60, options.seed);
        for (int t = 0; t < 10 * 60; ++t) {
            Flight f = profile.at(t);
            for (const int model : {1, 6, 12, 3}) writer.record(model, t, f, counters);
        }
    } else if (options.scenario == "gaps") {
        // An rpm unit that misses some seconds: 4 s, 30 s and 2 min without records.
        Profile profile(15 * 60, options.seed);
        for (int t = 0; t < 15 * 60; ++t) {
            Flight f = profile.at(t);
            const bool missing =
                (t >= 120 && t < 124) || (t >= 300 && t < 330) || (t >= 600 && t < 720);
            if (!missing) writer.record(9, t, f, counters);
        }
    } else if (options.scenario == "midnight") {
        // A flight unit log from 23:52:30 to 00:07:30: the time of day starts again.
        options.start = 23 * 3600 + 52 * 60 + 30;
        Profile profile(15 * 60, options.seed);
        for (int t = 0; t < 15 * 60; ++t) {
            Flight f = profile.at(t);
            writer.record(13, t, f, counters);
        }
    } else if (options.scenario == "lean-sweep") {
        writeLeanSweep(writer, options, counters);
    } else {
        usage("unknown scenario");
    }
    const bool ok = std::fflush(out) == 0 && !std::ferror(out);
    if (options.output) std::fclose(out);
    return ok ? 0 : 1;
}
