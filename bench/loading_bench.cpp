// Loading a data file of 100,000 failure records: its time beside that of
// `cat` reading the same file, timed in turns (x_cat on the wall clock,
// x_cat_cpu on processor time, which the load of a shared machine disturbs
// less), and the peak memory of a fresh process that loads it, above what
// the process held before (bytes_per_record), measured in a fresh run of this
// program.
#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/text/text_codec.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace tovimo;

namespace {

const std::string& RecordsFile() {
    static const std::string path = [] {
        FleetParams p;
        p.seed = 5;
        p.fleet = FleetSizeFor(p, 100000);
        const std::string name = "/tmp/tovimo-loading-bench-" + std::to_string(getpid()) + ".txt";
        std::ofstream(name, std::ios::binary) << EncodeCp1251(SimulateFleet(p).text);
        return name;
    }();
    return path;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

// `cat file > /dev/null`, started directly (no shell): wall seconds, and the
// processor seconds of the child in `cpu`.
double CatSeconds(const std::string& path, double& cpu) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {"cat", path.c_str(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "cat", &actions, nullptr, const_cast<char**>(argv), environ) != 0) return 0;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double s = Seconds(start);
    cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
          1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    posix_spawn_file_actions_destroy(&actions);
    return s;
}

// Resident and peak resident memory of this process, in bytes.
long long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0) return std::stoll(line.substr(std::string(field).size())) * 1024;
    return -1;
}

// The peak memory of loading `path` above what this process held before, per
// record; meant for a fresh process.
double PeakBytesPerRecordHere(const std::string& path) {
    const long long before = StatusKb("VmRSS:");
    AnalysisState st;
    MainForm form;
    LoadDataFile(st, form, path, [](const std::string&) {});
    return static_cast<double>(StatusKb("VmHWM:") - before) /
           static_cast<double>(std::max<size_t>(st.MasProbl.size(), 1));
}

std::string selfPath;

// Runs this program afresh to measure the peak of one load.
double PeakBytesPerRecord(const std::string& path) {
    const std::string command = "'" + selfPath + "' --peak-of '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    double perRecord = -1;
    if (std::fscanf(pipe, "%lf", &perRecord) != 1) perRecord = -1;
    pclose(pipe);
    return perRecord;
}

void BM_Load100kRecordsVsCat(benchmark::State& state) {
    const std::string& path = RecordsFile();
    double loadSeconds = 0, catSeconds = 0, loadCpu = 0, catCpu = 0;
    size_t records = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpu0 = ThreadSeconds();
        {
            AnalysisState st;
            MainForm form;
            LoadDataFile(st, form, path, [](const std::string&) {});
            records = st.MasProbl.size();
        }
        loadCpu += ThreadSeconds() - cpu0;
        loadSeconds += Seconds(start);
        double cpu = 0;
        catSeconds += CatSeconds(path, cpu);
        catCpu += cpu;
    }
    state.counters["records"] = static_cast<double>(records);
    state.counters["ms_load"] = 1e3 * loadSeconds / static_cast<double>(state.iterations());
    state.counters["ms_cat"] = 1e3 * catSeconds / static_cast<double>(state.iterations());
    state.counters["x_cat"] = loadSeconds / catSeconds;
    state.counters["x_cat_cpu"] = loadCpu / catCpu;
    state.counters["bytes_per_record"] = PeakBytesPerRecord(path);
}
BENCHMARK(BM_Load100kRecordsVsCat)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--peak-of") {
        std::printf("%.1f\n", PeakBytesPerRecordHere(argv[2]));
        return 0;
    }
    selfPath = "/proc/" + std::to_string(getpid()) + "/exe";
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(RecordsFile().c_str());
    return 0;
}
