#include "style/style.h"

#include <QGraphicsOpacityEffect>
#include <QIcon>
#include <QImage>
#include <QImageReader>

#include <future>
#include <map>

namespace {

// Decoded on other threads at 1x; taken, and turned into pixmaps, on the GUI thread.
std::map<QString, std::future<QImage>> &preloaded()
{
    static std::map<QString, std::future<QImage>> pictures;
    return pictures;
}

bool drawnAsFile()
{
    return qGuiApp->devicePixelRatio() <= 1.0;
}

} // namespace

namespace Style {

PreloadedPictures::PreloadedPictures(const QStringList &paths)
{
    // Qt's list of image format plugins is made here, on the main thread, before the application object: the
    // decoding threads then only read it.
    QImageReader::supportedImageFormats();
    for (const QString &path : paths) {
        // Converted there too, so that the pixmap takes the pixels as they are.
        const auto decode = [path] { return QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied); };
        preloaded().insert_or_assign(path, std::async(std::launch::async, decode));
    }
}

void PreloadedPictures::clear()
{
    preloaded().clear();
}

QPixmap picture(const QString &path)
{
    auto found = preloaded().find(path);
    if (found != preloaded().end()) {
        QImage image = found->second.get();
        preloaded().erase(found);
        if (!image.isNull() && drawnAsFile())
            return QPixmap::fromImage(std::move(image));
    }
    const QPixmap normal(path);
    if (drawnAsFile())
        return normal;
    return QIcon(path).pixmap(normal.size());
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
