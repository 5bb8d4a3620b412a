// scanf-baseline: the plain way to read an engine monitor log, as the yardstick the
// import benchmark compares with. Each line is read with fgets into a 1000-character
// buffer and parsed with one sscanf of the model's format string into local fields;
// nothing is stored. Prints the seconds the loop took and the number of lines. Several
// files are read one after the other and counted together.
//
//   scanf-baseline LOGFILE...
#include <chrono>
#include <cstdio>
#include <string>

#include "import/record_models.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: scanf-baseline LOGFILE...\n");
        return 2;
    }
    // The format of the engine monitor line, from the same model table the import reads.
    const std::string format = zp::formatText(*zp::recordModel(1));

    const auto start = std::chrono::steady_clock::now();
    char line[1000];
    char date[100], time[100];
    int id = 0, hobbs = 0, maintenance = 0;
    float v[30] = {};
    long long lines = 0;
    long long fields = 0;  // summed so that the scan cannot be optimised away
    for (int arg = 1; arg < argc; ++arg) {
        std::FILE* file = std::fopen(argv[arg], "r");
        if (!file) {
            std::fprintf(stderr, "scanf-baseline: cannot open %s\n", argv[arg]);
            return 2;
        }
        while (std::fgets(line, sizeof line, file)) {
            fields += std::sscanf(line, format.c_str(), &id, date, time, &hobbs, &maintenance,
                                  &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8],
                                  &v[9], &v[10], &v[11], &v[12], &v[13], &v[14], &v[15], &v[16],
                                  &v[17], &v[18], &v[19], &v[20], &v[21], &v[22], &v[23], &v[24],
                                  &v[25], &v[26], &v[27], &v[28], &v[29]);
            ++lines;
        }
        std::fclose(file);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("seconds=%.6f lines=%lld fields=%lld\n", seconds, lines, fields);
    return 0;
}
