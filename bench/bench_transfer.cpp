// Firmware transfer of a 96 KiB image through the emulated mouse's library: at full-speed USB (1000 us per call)
// against the floor of one millisecond per packet, and the program's own cost per packet without latency. And
// the STM32 CRC over the same image against zlib's CRC-32 on the same bytes.
#include "emulatedmouse.h"

#include "device/devicecontext.h"
#include "update/firmwaretransfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "benchmain.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>
#include <functional>

namespace {

constexpr int ImageSize = 96 * 1024;

QByteArray firmwareImage()
{
    QByteArray image("Z31F\x01\x00\x01", 7);
    image.reserve(ImageSize);
    quint32 state = 0x12345678;
    while (image.size() < ImageSize) {
        state = state * 1664525u + 1013904223u;
        image.append(char(state >> 24));
    }
    return image;
}

WrtieConfigFn libraryWrite = nullptr;
int packetsWritten = 0;

int countingWrite(int length, const unsigned char *data)
{
    ++packetsWritten;
    return libraryWrite(length, data);
}

int nothingOpened(int, int) { return 0; }
int nothingClosed() { return 0; }
int nothingWritten(int, const unsigned char *)
{
    ++packetsWritten;
    return 0;
}

double secondsOf(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Arg: the emulated latency per library call in microseconds.
void transferThroughLibrary(benchmark::State &state)
{
    EmulatedMouse mouse;
    if (!mouse.error().isEmpty() || !mouse.emu({ QStringLiteral("latency"), QString::number(state.range(0)) }))
        return state.SkipWithError(mouse.error().toUtf8().constData());
    libraryWrite = deviceContext.WrtieConfig;
    DeviceContext context;
    context.OpenConfigDevice = deviceContext.OpenConfigDevice;
    context.CloseConfigDevice = deviceContext.CloseConfigDevice;
    context.WrtieConfig = countingWrite;
    const QByteArray image = firmwareImage();

    int packets = 0;
    double seconds = 0;
    for (auto _ : state) {
        packetsWritten = 0;
        FirmwareTransfer transfer(context);
        FirmwareTransfer::Outcome outcome = FirmwareTransfer::Outcome::DataFailed;
        const double run = secondsOf([&] { outcome = transfer.run(image); });
        state.SetIterationTime(run);
        seconds += run;
        if (outcome != FirmwareTransfer::Outcome::Finished)
            return state.SkipWithError("the transfer did not finish");
        packets = packetsWritten;
    }
    setFloorCounters(state, seconds, packets);
    const double runMs = seconds * 1000 / double(state.iterations());
    state.counters["per_packet_us"] = runMs * 1000 / packets;
}
BENCHMARK(transferThroughLibrary)->Arg(1000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(transferThroughLibrary)->Arg(0)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// The program's side alone: entry points that do nothing.
void transferProgramOnly(benchmark::State &state)
{
    DeviceContext context;
    context.OpenConfigDevice = nothingOpened;
    context.CloseConfigDevice = nothingClosed;
    context.WrtieConfig = nothingWritten;
    const QByteArray image = firmwareImage();
    int packets = 0;
    double seconds = 0;
    for (auto _ : state) {
        packetsWritten = 0;
        FirmwareTransfer transfer(context);
        const double run = secondsOf([&] { benchmark::DoNotOptimize(transfer.run(image)); });
        state.SetIterationTime(run);
        seconds += run;
        packets = packetsWritten;
    }
    const double perPacketMs = seconds * 1000 / double(state.iterations()) / packets;
    state.counters["packets"] = packets;
    state.counters["per_packet_us"] = perPacketMs * 1000;
    state.counters["ratio_to_floor"] = perPacketMs / FloorPerPacketMs;
}
BENCHMARK(transferProgramOnly)->UseManualTime()->Unit(benchmark::kMillisecond);

// The transfer's checksum (image words, then the CRC), and zlib's CRC-32 over the same bytes in the same iteration.
void crcOf96KiB(benchmark::State &state)
{
    const QByteArray image = firmwareImage();
    double seconds = 0;
    double zlibSeconds = 0;
    for (auto _ : state) {
        const double run = secondsOf([&] {
            const QVector<quint32> words = imageWords(image);
            benchmark::DoNotOptimize(stm32Crc32(words.constData(), uint(words.size()), 0xFFFFFFFF));
        });
        state.SetIterationTime(run);
        seconds += run;
        zlibSeconds += secondsOf([&] {
            benchmark::DoNotOptimize(
                crc32(0, reinterpret_cast<const Bytef *>(image.constData()), uInt(image.size())));
        });
    }
    state.SetBytesProcessed(state.iterations() * image.size());
    state.counters["zlib_us"] = zlibSeconds * 1e6 / double(state.iterations());
    state.counters["ratio_to_zlib"] = seconds / zlibSeconds;
}
BENCHMARK(crcOf96KiB)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QCoreApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
