// Paints every image the installer carries into <root>/Resources and
// <root>/Resources_green at the sizes the window's form expects.

#include "Backgrounds.h"
#include "Emblems.h"
#include "Glyphs.h"
#include "IcoWriter.h"
#include "Illustrations.h"
#include "Palette.h"
#include "PngWriter.h"
#include "Shapes.h"

#include <QCommandLineParser>
#include <QDebug>
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

enum class Art {
    Mark,
    Wordmark,
    Success,
    Ticked,
    Unticked,
    Arrow,
    DiskSlide,
    MediaSlide,
    WelcomePage,
    ProgressPage,
    Close,
    Minimise,
    Scan,
    Tile,
    Stacked,
    SmallClose,
    Banner,
};

struct Entry
{
    bool green; // Resources_green/ and the green palette; otherwise Resources/ and blue
    const char* name;
    QSize size;
    Art art;
    bool shown; // the window shows it: also painted at 2x as "<name>@2x.png" for high-DPI screens
};

const Entry entries[] = {
    {false, "about_us_logo.png", {148, 141}, Art::Mark, true},
    {true, "about_us_logo.png", {30, 30}, Art::Mark, true},
    {false, "about_us_logo2.png", {176, 41}, Art::Wordmark, true},
    {true, "about_us_logo2.png", {176, 41}, Art::Wordmark, true},
    {false, "about_us_logo3.png", {235, 193}, Art::Success, true},
    {true, "about_us_logo3.png", {235, 193}, Art::Success, true},
    {false, "agree_agreement.png", {14, 14}, Art::Ticked, true},
    {true, "agree_agreement.png", {14, 14}, Art::Ticked, true},
    {false, "no_check.png", {16, 16}, Art::Unticked, true},
    {true, "no_check.png", {14, 14}, Art::Unticked, true},
    {false, "arr.png", {17, 17}, Art::Arrow, true},
    {true, "arr.png", {17, 17}, Art::Arrow, true},
    {false, "img1.png", {600, 246}, Art::DiskSlide, true},
    {true, "img1.png", {396, 165}, Art::DiskSlide, true},
    {false, "img2.png", {600, 286}, Art::MediaSlide, true},
    {true, "img2.png", {365, 166}, Art::MediaSlide, true},
    {false, "bg.png", {1024, 720}, Art::WelcomePage, true},
    {false, "bg2.png", {1024, 720}, Art::ProgressPage, true},
    {false, "icon_closse.png", {20, 20}, Art::Close, true},
    {true, "icon_closse.png", {20, 20}, Art::Close, true},
    {false, "icon_min.png", {20, 20}, Art::Minimise, true},
    {true, "icon_min.png", {20, 20}, Art::Minimise, true},
    {false, "img3.png", {289, 183}, Art::Scan, false},
    {true, "img3.png", {289, 183}, Art::Scan, false},
    {false, "logo2.png", {120, 120}, Art::Tile, false},
    {true, "logo2.png", {110, 76}, Art::Stacked, false},
    {false, "installation_close.png", {13, 14}, Art::SmallClose, false},
    {true, "installation_close.png", {13, 14}, Art::SmallClose, false},
    // Carried in the default folder although it is the green look's banner.
    {false, "bg_green.png", {650, 360}, Art::Banner, false},
};

QImage paint(const Entry& entry)
{
    const Palette pal = entry.green ? Palette::green() : Palette::blue();
    const QString product = entry.green ? QStringLiteral("Quorbel") : QStringLiteral("Corvane");
    const QSize& s = entry.size;
    switch (entry.art) {
    case Art::Mark:
        return Emblems::mark(pal, s);
    case Art::Wordmark:
        return Emblems::wordmark(pal, s, product);
    case Art::Success:
        return Emblems::success(pal, s);
    case Art::Ticked:
        return Glyphs::ticked(pal, s);
    case Art::Unticked:
        return Glyphs::unticked(s);
    case Art::Arrow:
        return Glyphs::buttonArrow(pal, s);
    case Art::DiskSlide:
        return Illustrations::diskRecovery(pal, s);
    case Art::MediaSlide:
        return Illustrations::mediaRecovery(pal, s);
    case Art::WelcomePage:
        return Backgrounds::welcome(pal, s);
    case Art::ProgressPage:
        return Backgrounds::progress(pal, s);
    case Art::Close:
        return Glyphs::close(s);
    case Art::Minimise:
        return Glyphs::minimise(s);
    case Art::Scan:
        return Illustrations::laptopScan(pal, s);
    case Art::Tile:
        return Emblems::tile(pal, s);
    case Art::Stacked:
        return Emblems::stacked(pal, s, product);
    case Art::SmallClose:
        return Glyphs::smallClose(pal, s);
    case Art::Banner:
        return Backgrounds::banner(Palette::green(), s);
    }
    return {};
}

// Shadow tails leave near-invisible alpha far from any shape; dropping it
// keeps the files small without changing how they look.
void dropFaintAlpha(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) <= 2)
                line[x] = 0;
        }
    }
}

bool save(const QImage& painted, const QString& path)
{
    // Opaque artwork is stored without an alpha channel; the rest unpremultiplied.
    QImage out;
    if (painted.hasAlphaChannel()) {
        out = painted.convertToFormat(QImage::Format_ARGB32);
        dropFaintAlpha(out);
    } else {
        out = painted.convertToFormat(QImage::Format_RGB32);
    }
    if (!PngWriter::write(out, path)) {
        qDebug().noquote() << "cannot write" << path;
        return false;
    }
    return true;
}

// Every image on a checkerboard, for judging them side by side.
QImage contactSheet(const std::vector<std::pair<QString, QImage>>& images)
{
    const int pad = 16;
    const int width = 1400;
    int x = pad;
    int y = pad;
    int rowHeight = 0;
    std::vector<QPoint> at;
    const QFontMetrics metrics{QFont()};
    for (const auto& item : images) {
        const QSize s = item.second.size();
        const int cell = std::max(s.width(), metrics.horizontalAdvance(item.first));
        if (x + cell + pad > width) {
            x = pad;
            y += rowHeight + 28;
            rowHeight = 0;
        }
        at.push_back(QPoint(x, y));
        x += cell + pad;
        rowHeight = std::max(rowHeight, s.height());
    }
    QImage sheet(width, y + rowHeight + 28 + pad, QImage::Format_RGB32);
    sheet.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter p(&sheet);
    for (size_t i = 0; i < images.size(); ++i) {
        const QRect r(at[i], images[i].second.size());
        for (int cy = r.top(); cy <= r.bottom(); cy += 8)
            for (int cx = r.left(); cx <= r.right(); cx += 8)
                p.fillRect(QRect(cx, cy, 8, 8).intersected(r), ((cx - r.left()) / 8 + (cy - r.top()) / 8) % 2
                                                                   ? QColor(0xDD, 0xDD, 0xDD)
                                                                   : Qt::white);
        p.drawImage(r.topLeft(), images[i].second);
        p.setPen(Qt::black);
        p.drawText(QPoint(r.left(), r.bottom() + 16), images[i].first);
    }
    return sheet;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Paints the installer's images."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("root"),
                                 QStringLiteral("Folder that holds Resources/ and Resources_green/."));
    const QCommandLineOption sheetOption(QStringLiteral("contact-sheet"),
                                         QStringLiteral("Also write all images side by side to <file>."),
                                         QStringLiteral("file"));
    parser.addOption(sheetOption);
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    if (!Shapes::fontAvailable()) {
        qDebug() << "The DejaVu Sans font is missing (Debian package fonts-dejavu-core); wordmarks need it.";
        return 1;
    }

    const QDir root(parser.positionalArguments().constFirst());
    std::vector<std::pair<QString, QImage>> painted;
    for (const Entry& entry : entries) {
        const QString folder = QLatin1String(entry.green ? "Resources_green" : "Resources");
        if (!root.mkpath(folder)) {
            qDebug().noquote() << "cannot create" << root.filePath(folder);
            return 1;
        }
        for (int scale = 1; scale <= (entry.shown ? 2 : 1); ++scale) {
            Shapes::setScale(scale);
            const QImage image = paint(entry);
            if (image.size() != entry.size * scale) {
                qDebug().noquote() << entry.name << "was painted at the wrong size";
                return 1;
            }
            QString relative = folder + QLatin1Char('/') + QLatin1String(entry.name);
            if (scale == 2)
                relative.replace(QLatin1String(".png"), QLatin1String("@2x.png"));
            if (!save(image, root.filePath(relative)))
                return 1;
            QImage sheetCopy = image; // on the contact sheet at its pixel size
            sheetCopy.setDevicePixelRatio(1);
            painted.emplace_back(relative, sheetCopy);
        }
    }
    Shapes::setScale(1);

    // The program's icon, at the sizes Windows shows it (lists to large tiles).
    for (const bool green : {false, true}) {
        QVector<QImage> sizes;
        for (const int side : {16, 20, 24, 32, 40, 48, 64, 128, 256})
            sizes.append(Emblems::icon(green ? Palette::green() : Palette::blue(), side));
        const QString relative =
            QLatin1String(green ? "Resources_green" : "Resources") + QStringLiteral("/nerixSetupOnline.ico");
        if (!IcoWriter::write(sizes, root.filePath(relative))) {
            qDebug().noquote() << "cannot write" << root.filePath(relative);
            return 1;
        }
        painted.emplace_back(relative, sizes.last());
    }

    if (parser.isSet(sheetOption) && !contactSheet(painted).save(parser.value(sheetOption), "png")) {
        qDebug().noquote() << "cannot write" << parser.value(sheetOption);
        return 1;
    }
    return 0;
}
