#include "style/style.h"

#include <QGraphicsOpacityEffect>
#include <QIcon>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <future>
#include <map>

namespace {

// The part of a picture with something on it, and where it stood in the whole picture, in window pixels.
struct TrimmedImage
{
    QImage image;
    QPoint offset;
};

// Decoded on other threads, by path and scale; taken, and turned into pixmaps, on the GUI thread.
using PreloadKey = std::pair<QString, int>;
std::map<PreloadKey, std::future<TrimmedImage>> &preloaded()
{
    static std::map<PreloadKey, std::future<TrimmedImage>> pictures;
    return pictures;
}

// The screen's scale when it is whole and there are pictures for it (1 or 2), else 0.
int screenScale()
{
    const qreal ratio = qGuiApp->devicePixelRatio();
    return ratio <= 1.0 ? 1 : qFuzzyCompare(ratio, 2.0) ? 2 : 0;
}

// The opaque bounds of `image` grown to whole window pixels of `scale` device pixels each.
QRect trimmedRect(const QImage &image, int scale)
{
    const QRect bounds = Style::opaqueBounds(image);
    if (bounds.isEmpty())
        return image.rect();
    const auto down = [scale](int value) { return value / scale * scale; };
    const auto up = [scale](int value) { return (value + scale - 1) / scale * scale; };
    return QRect(QPoint(down(bounds.left()), down(bounds.top())),
                 QPoint(up(bounds.right() + 1) - 1, up(bounds.bottom() + 1) - 1))
        .intersected(image.rect());
}

// The @2x version's name: before the extension, if there is one (":/img/side@2x", ":/img/close@2x.png").
QString doubleSizeFile(const QString &path)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= path.lastIndexOf(QLatin1Char('/')))
        return path + QStringLiteral("@2x");
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

// `path`, or its @2x version at scale 2, decoded as an image: a pixmap loaded from a file stays in Qt's pixmap
// cache, whole, beside the part kept. Converted here, so that the pixmap takes the pixels as they are.
TrimmedImage trimmedImage(const QString &path, int scale)
{
    const QImage whole(scale == 1 ? path : doubleSizeFile(path));
    const QRect kept = trimmedRect(whole, scale);
    QImage part = whole.copy(kept).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    part.setDevicePixelRatio(scale);
    return { part, kept.topLeft() / scale };
}

} // namespace

namespace Style {

PreloadedPictures::PreloadedPictures(const QStringList &paths)
    : paths(paths)
{
    // Qt's list of image format plugins is made here, on the main thread, before the application object: the
    // decoding threads then only read it.
    QImageReader::supportedImageFormats();
    start(1);
}

void PreloadedPictures::matchScreen()
{
    if (screenScale() == 2)
        start(2);
}

void PreloadedPictures::start(int scale)
{
    for (const QString &path : paths) {
        const auto decode = [path, scale] { return trimmedImage(path, scale); };
        preloaded().insert_or_assign({ path, scale }, std::async(std::launch::async, decode));
    }
}

void PreloadedPictures::clear()
{
    preloaded().clear();
}

QPixmap picture(const QString &path)
{
    const QPixmap normal(path);
    if (screenScale() == 1)
        return normal;
    return QIcon(path).pixmap(normal.size());
}

QRect opaqueBounds(const QImage &image)
{
    const bool argb = image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage pixels = argb ? image : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = pixels.width();
    int left = width, right = -1, top = -1, bottom = -1;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        int first = 0;
        while (first < width && qAlpha(line[first]) == 0)
            ++first;
        if (first == width)
            continue;
        int last = width - 1;
        while (qAlpha(line[last]) == 0)
            --last;
        left = std::min(left, first);
        right = std::max(right, last);
        if (top < 0)
            top = y;
        bottom = y;
    }
    return top < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

void showPicture(QLabel *label, const QString &path)
{
    const int scale = screenScale();
    TrimmedImage trimmed;
    for (const int preloadedScale : { 1, 2 }) {
        auto found = preloaded().find({ path, preloadedScale });
        if (found == preloaded().end())
            continue;
        if (preloadedScale == scale)
            trimmed = found->second.get();
        preloaded().erase(found);
    }
    if (trimmed.image.isNull() && scale > 0)
        trimmed = trimmedImage(path, scale);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setContentsMargins(trimmed.offset.x(), trimmed.offset.y(), 0, 0);
    label->setPixmap(trimmed.image.isNull() ? picture(path) : QPixmap::fromImage(std::move(trimmed.image)));
}

QGraphicsOpacityEffect *fadeEffect(QWidget *widget, qreal opacity)
{
    auto *effect = new QGraphicsOpacityEffect(widget);
    effect->setOpacity(opacity);
    widget->setGraphicsEffect(effect);
    // Switching it off also frees its pixmap.
    const auto follow = [effect](qreal value) { effect->setEnabled(value < 1.0); };
    QObject::connect(effect, &QGraphicsOpacityEffect::opacityChanged, effect, follow);
    follow(opacity);
    return effect;
}

} // namespace Style
