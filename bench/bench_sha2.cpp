// Throughput of SHA-256 and HMAC-SHA-256: ours against OpenSSL (EVP) and Qt
// (QCryptographicHash, QMessageAuthenticationCode), for 64 B, 1 KiB and
// 64 KiB messages. After the usual benchmark output a table puts the three
// side by side with the ratios ours/OpenSSL and ours/Qt.
//
// OpenSSL picks its SHA-256 code from the CPU's features. A like-for-like
// comparison with our portable code masks the SHA extensions:
//     OPENSSL_ia32cap=":~0x20000000" bench_sha2
// Throughput is in MB/s of 10^6 bytes in the table (the benchmark library's
// own column counts in MiB/s).

#include "sha2.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::vector<int64_t> MessageSizes = { 64, 1024, 64 * 1024 };
constexpr int KeySize = 40; // the length of the product API's secret key

std::vector<unsigned char> RandomBytes(size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::vector<unsigned char> bytes(size);
    for (unsigned char& byte : bytes) {
        byte = static_cast<unsigned char>(generator());
    }
    return bytes;
}

const std::vector<unsigned char>& Message()
{
    static const std::vector<unsigned char> message = RandomBytes(64 * 1024, 1);
    return message;
}

const std::vector<unsigned char>& Key()
{
    static const std::vector<unsigned char> key = RandomBytes(KeySize, 2);
    return key;
}

void CountBytes(benchmark::State& state)
{
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// ---------------------------------------------------------------------------
// SHA-256

void Sha256Ours(benchmark::State& state)
{
    const auto size = static_cast<uint32_t>(state.range(0));
    unsigned char digest[SHA256_DIGEST_SIZE];
    for (auto _ : state) {
        sha256(Message().data(), size, digest);
        benchmark::DoNotOptimize(digest);
    }
    CountBytes(state);
}

void Sha256OpenSsl(benchmark::State& state)
{
    const auto size = static_cast<size_t>(state.range(0));
    EVP_MD* md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestSize = 0;
    for (auto _ : state) {
        EVP_DigestInit_ex2(context, md, nullptr);
        EVP_DigestUpdate(context, Message().data(), size);
        EVP_DigestFinal_ex(context, digest, &digestSize);
        benchmark::DoNotOptimize(digest);
    }
    EVP_MD_CTX_free(context);
    EVP_MD_free(md);
    CountBytes(state);
}

void Sha256Qt(benchmark::State& state)
{
    const QByteArray message = QByteArray::fromRawData(
        reinterpret_cast<const char*>(Message().data()), static_cast<qsizetype>(state.range(0)));
    for (auto _ : state) {
        QByteArray digest = QCryptographicHash::hash(message, QCryptographicHash::Sha256);
        benchmark::DoNotOptimize(digest);
    }
    CountBytes(state);
}

// ---------------------------------------------------------------------------
// HMAC-SHA-256, each message under a freshly set key, as a request signature
// is computed

void HmacSha256Ours(benchmark::State& state)
{
    const auto size = static_cast<uint32_t>(state.range(0));
    unsigned char mac[SHA256_DIGEST_SIZE];
    for (auto _ : state) {
        hmac_sha256(Key().data(), KeySize, Message().data(), size, mac, sizeof mac);
        benchmark::DoNotOptimize(mac);
    }
    CountBytes(state);
}

void HmacSha256OpenSsl(benchmark::State& state)
{
    const auto size = static_cast<size_t>(state.range(0));
    EVP_MAC* hmac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    EVP_MAC_CTX* context = EVP_MAC_CTX_new(hmac);
    char digestName[] = "SHA256";
    const OSSL_PARAM params[]
        = { OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digestName, 0),
              OSSL_PARAM_construct_end() };
    EVP_MAC_CTX_set_params(context, params);
    unsigned char mac[EVP_MAX_MD_SIZE];
    size_t macSize = 0;
    for (auto _ : state) {
        EVP_MAC_init(context, Key().data(), KeySize, nullptr);
        EVP_MAC_update(context, Message().data(), size);
        EVP_MAC_final(context, mac, &macSize, sizeof mac);
        benchmark::DoNotOptimize(mac);
    }
    EVP_MAC_CTX_free(context);
    EVP_MAC_free(hmac);
    CountBytes(state);
}

void HmacSha256Qt(benchmark::State& state)
{
    const QByteArray message = QByteArray::fromRawData(
        reinterpret_cast<const char*>(Message().data()), static_cast<qsizetype>(state.range(0)));
    const QByteArray key
        = QByteArray::fromRawData(reinterpret_cast<const char*>(Key().data()), KeySize);
    for (auto _ : state) {
        QByteArray mac = QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha256);
        benchmark::DoNotOptimize(mac);
    }
    CountBytes(state);
}

// ---------------------------------------------------------------------------
// Summary

// The aggregate the table uses. Applied to times it gives the slowest run
// (the library computes every statistic for times and counters alike); only
// the throughput counter, where it gives the fastest run, is read.
const char BestOfRuns[] = "max";

double Largest(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end());
}

struct Contender
{
    const char* name;
    void (*function)(benchmark::State&);
};

struct Family
{
    const char* name;
    Contender ours;
    Contender openSsl;
    Contender qt;
};

const std::vector<Family>& Families()
{
    static const std::vector<Family> families = {
        { "SHA-256", { "sha256/ours", Sha256Ours }, { "sha256/openssl", Sha256OpenSsl },
            { "sha256/qt", Sha256Qt } },
        { "HMAC-SHA-256", { "hmac_sha256/ours", HmacSha256Ours },
            { "hmac_sha256/openssl", HmacSha256OpenSsl }, { "hmac_sha256/qt", HmacSha256Qt } },
    };
    return families;
}

// Keeps the console output and remembers every throughput for the table at
// the end: the best of the repetitions when there are several. Other
// processes on a shared machine only ever slow a run down, so the best run
// is the closest to what the code itself can do, for every contender alike.
class RecordingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& reports) override
    {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            Record(run);
        }
    }

    double Throughput(const std::string& name, int64_t size) const
    {
        const auto found = m_throughput.find({ name, std::to_string(size) });
        return found == m_throughput.end() ? 0.0 : found->second.first;
    }

private:
    void Record(const Run& run)
    {
        const auto counter = run.counters.find("bytes_per_second");
        if (run.error_occurred || counter == run.counters.end()) {
            return;
        }
        const bool best = run.run_type == Run::RT_Aggregate && run.aggregate_name == BestOfRuns;
        if (run.run_type == Run::RT_Aggregate && !best) {
            return;
        }
        auto& entry = m_throughput[{ run.run_name.function_name, run.run_name.args }];
        if (best || !entry.second) {
            entry = { counter->second.value, best };
        }
    }

    // (function, size) -> (bytes per second, taken from the best run)
    std::map<std::pair<std::string, std::string>, std::pair<double, bool>> m_throughput;
};

std::string MegabytesPerSecond(double bytesPerSecond)
{
    char text[32];
    std::snprintf(text, sizeof text, "%8.1f", bytesPerSecond / 1e6);
    return text;
}

std::string Ratio(double ours, double other)
{
    if (other <= 0.0) {
        return "     n/a";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%8.2f", ours / other);
    return text;
}

void PrintSummary(const RecordingReporter& reporter)
{
    const char* mask = std::getenv("OPENSSL_ia32cap");
    std::printf("\nThroughput in MB/s, best of the repetitions (OPENSSL_ia32cap=%s)\n",
        mask ? mask : "<unset>");
    std::printf("%-14s %8s %8s %8s %8s %8s %8s\n", "", "bytes", "ours", "OpenSSL", "Qt",
        "ours/OSSL", "ours/Qt");
    for (const Family& family : Families()) {
        for (int64_t size : MessageSizes) {
            const double ours = reporter.Throughput(family.ours.name, size);
            const double openSsl = reporter.Throughput(family.openSsl.name, size);
            const double qt = reporter.Throughput(family.qt.name, size);
            if (ours <= 0.0 && openSsl <= 0.0 && qt <= 0.0) {
                continue; // filtered out on the command line
            }
            std::printf("%-14s %8lld %s %s %s %s  %s\n", family.name, static_cast<long long>(size),
                MegabytesPerSecond(ours).c_str(), MegabytesPerSecond(openSsl).c_str(),
                MegabytesPerSecond(qt).c_str(), Ratio(ours, openSsl).c_str(),
                Ratio(ours, qt).c_str());
        }
    }
}

void RegisterAll()
{
    for (const Family& family : Families()) {
        for (const Contender& contender : { family.ours, family.openSsl, family.qt }) {
            benchmark::RegisterBenchmark(contender.name, contender.function)
                ->ArgsProduct({ MessageSizes })
                ->ComputeStatistics(BestOfRuns, Largest);
        }
    }
}

// Unless the command line says otherwise, each benchmark is repeated in
// random order, so that a busy moment on the machine does not hit one
// contender only.
std::vector<char*> WithDefaultFlags(int argc, char** argv)
{
    static char repetitions[] = "--benchmark_repetitions=5";
    static char interleaving[] = "--benchmark_enable_random_interleaving=true";
    static char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    static char minTime[] = "--benchmark_min_time=0.1";
    std::vector<char*> args = { argv[0], repetitions, interleaving, aggregatesOnly, minTime };
    args.insert(args.end(), argv + 1, argv + argc);
    args.push_back(nullptr);
    return args;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> args = WithDefaultFlags(argc, argv);
    int argCount = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&argCount, args.data());
    if (benchmark::ReportUnrecognizedArguments(argCount, args.data())) {
        return 1;
    }
    RegisterAll();
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintSummary(reporter);
    return 0;
}
