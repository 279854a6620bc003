// Cost of the colour picker's square: building its image for a new hue, and repainting without one.
#include "lighting/colorpicker.h"
#include "lighting/hsvimage.h"

#include <QApplication>
#include <QColor>
#include <QImage>

#include "benchmain.h"

#include <benchmark/benchmark.h>

namespace {

const QSize squareSize(180, 106);

// What the square would cost with a floating-point conversion per pixel.
QImage floatingPointSquare(double hue)
{
    QImage image(squareSize, QImage::Format_RGB32);
    for (int j = 0; j < squareSize.height(); ++j) {
        for (int i = 0; i < squareSize.width(); ++i)
            image.setPixel(i, j, QColor::fromHsvF(hue, double(i) / squareSize.width(),
                                                  1 - double(j) / squareSize.height()).rgb());
    }
    return image;
}

void imageOnHueChange(benchmark::State &state)
{
    int hue = 0;
    for (auto _ : state) {
        hue = (hue + 1) % 360;
        benchmark::DoNotOptimize(saturationValueImage(hue / 359.0, squareSize));
    }
}
BENCHMARK(imageOnHueChange)->Unit(benchmark::kMicrosecond);

void floatingPointImageOnHueChange(benchmark::State &state)
{
    int hue = 0;
    for (auto _ : state) {
        hue = (hue + 1) % 360;
        benchmark::DoNotOptimize(floatingPointSquare(hue / 359.0));
    }
}
BENCHMARK(floatingPointImageOnHueChange)->Unit(benchmark::kMicrosecond);

void paintOnHueChange(benchmark::State &state)
{
    color_picker_Square square;
    square.resize(196, 300);
    QImage target(square.size(), QImage::Format_ARGB32_Premultiplied);
    int hue = 0;
    for (auto _ : state) {
        hue = (hue + 1) % 360;
        square.setHue(hue);
        square.render(&target);
    }
    state.counters["imageBuilds"] = square.imageBuilds();
}
BENCHMARK(paintOnHueChange)->Unit(benchmark::kMicrosecond);

void repaintWithoutHueChange(benchmark::State &state)
{
    color_picker_Square square;
    square.resize(196, 300);
    square.setColor(QColor(30, 140, 220));
    QImage target(square.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        square.render(&target);
    state.counters["imageBuilds"] = square.imageBuilds();
}
BENCHMARK(repaintWithoutHueChange)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
