// make-sample-studio OUT_PARENT: draws the sample studio that ships with the
// program (a wall with a screen, a desk, a foreground and three shots) and
// writes it as a native set OUT_PARENT/Sample Studio. The pictures are made
// here, so the set carries only the project's own artwork.
#include "formats/SceneFile.h"
#include "formats/SceneRecords.h"
#include "formats/UvMapMaker.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>

#include <cstdio>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
// The wall screen's corners on the canvas (top-left, top-right, bottom-right,
// bottom-left): a little turned towards the camera.
constexpr double kScreenX[4] = {1010, 1660, 1650, 1020};
constexpr double kScreenY[4] = {190, 230, 610, 640};

QImage Canvas()
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage DrawBackground()
{
    QImage image = Canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient wall(0, 0, 0, 760);
    wall.setColorAt(0, QColor(18, 26, 44));
    wall.setColorAt(1, QColor(34, 52, 84));
    p.fillRect(0, 0, kWidth, 760, wall);
    // Vertical light panels behind the desk.
    for (int i = 0; i < 9; ++i) {
        QLinearGradient panel(0, 80, 0, 720);
        panel.setColorAt(0, QColor(60, 140, 220, 0));
        panel.setColorAt(0.5, QColor(70, 160, 235, 90));
        panel.setColorAt(1, QColor(60, 140, 220, 0));
        p.fillRect(QRectF(80 + i * 100, 80, 34, 640), panel);
    }
    // The floor, with the wall's glow on it.
    QLinearGradient floor(0, 760, 0, kHeight);
    floor.setColorAt(0, QColor(40, 46, 60));
    floor.setColorAt(1, QColor(12, 14, 20));
    p.fillRect(0, 760, kWidth, kHeight - 760, floor);
    p.fillRect(0, 756, kWidth, 8, QColor(90, 180, 255, 160));
    // The screen's frame; the screen layer is mapped inside it.
    QPolygonF frame;
    for (int i = 0; i < 4; ++i)
        frame << QPointF(kScreenX[i], kScreenY[i]);
    p.setPen(QPen(QColor(10, 12, 16), 26, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(QColor(6, 8, 12));
    p.drawPolygon(frame);
    return image;
}

QImage DrawDesk()
{
    QImage image = Canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath top;
    top.moveTo(330, 700);
    top.lineTo(1590, 700);
    top.lineTo(1700, 780);
    top.lineTo(220, 780);
    top.closeSubpath();
    QLinearGradient wood(0, 700, 0, 780);
    wood.setColorAt(0, QColor(236, 240, 246));
    wood.setColorAt(1, QColor(180, 188, 200));
    p.fillPath(top, wood);
    QLinearGradient front(0, 780, 0, 1080);
    front.setColorAt(0, QColor(30, 40, 62));
    front.setColorAt(1, QColor(14, 18, 30));
    p.fillRect(QRectF(260, 780, 1400, 300), front);
    // The desk's light stripe and the programme's mark.
    p.fillRect(QRectF(260, 860, 1400, 14), QColor(80, 170, 255));
    QFont font(QStringLiteral("DejaVu Sans"), 64, QFont::Bold);
    p.setFont(font);
    p.setPen(QColor(235, 242, 250));
    p.drawText(QRectF(260, 900, 1400, 140), Qt::AlignCenter, QStringLiteral("KELVANE NEWS"));
    return image;
}

QImage DrawScreenPicture()
{
    QImage image(1280, 720, QImage::Format_ARGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 1280, 720);
    sky.setColorAt(0, QColor(255, 150, 60));
    sky.setColorAt(1, QColor(160, 40, 120));
    p.fillRect(image.rect(), sky);
    p.setBrush(QColor(255, 230, 150));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(900, 300), 130, 130);
    QPainterPath hills;
    hills.moveTo(0, 720);
    hills.lineTo(0, 520);
    hills.cubicTo(300, 380, 600, 620, 900, 470);
    hills.cubicTo(1050, 400, 1180, 450, 1280, 420);
    hills.lineTo(1280, 720);
    p.fillPath(hills, QColor(40, 20, 60));
    QFont font(QStringLiteral("DejaVu Sans"), 54, QFont::Bold);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(60, 40, 1160, 120), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Evening Report"));
    return image;
}

QImage DrawForeground()
{
    QImage image = Canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Two studio lights hanging into the top of the picture.
    for (int x : {300, 1620}) {
        p.fillRect(QRectF(x - 6, 0, 12, 70), QColor(30, 32, 38));
        p.setBrush(QColor(44, 48, 56));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(x - 70, 60, 140, 70), 14, 14);
        QRadialGradient beam(x, 140, 260);
        beam.setColorAt(0, QColor(255, 250, 230, 110));
        beam.setColorAt(1, QColor(255, 250, 230, 0));
        p.setBrush(beam);
        p.drawEllipse(QPointF(x, 140), 260, 260);
    }
    return image;
}

bool Save(const QImage& image, const QString& path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "make-sample-studio: cannot write %s\n", qPrintable(path));
    return false;
}

LayerInfo FullCanvasLayer(const char* name, const QString& image)
{
    LayerInfo layer = MakeDefaultLayer();
    SetRecordName(layer.name, platform::Utf8ToWide(name));
    SetLayerImagePath(layer, platform::WideToAnsi(image.toStdWString()));
    return layer;
}

ShotInfo Shot(const char* name, float x, float y, float zoom)
{
    ShotInfo shot = MakeDefaultShot();
    SetRecordName(shot.name, platform::Utf8ToWide(name));
    shot.x = x;
    shot.y = y;
    shot.zoomX = zoom;
    shot.zoomY = zoom;
    return shot;
}

// The set as the engine shows it, the screen picture laid into its frame.
QImage Thumbnail(const QImage& background, const QImage& screen, const std::vector<QImage>& front)
{
    QImage canvas(kWidth, kHeight, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(0, 0, background);
    QPolygonF frame;
    for (int i = 0; i < 4; ++i)
        frame << QPointF(kScreenX[i], kScreenY[i]);
    QTransform onScreen;
    const QPolygonF picture = {QPointF(0, 0), QPointF(screen.width(), 0), QPointF(screen.width(), screen.height()),
                               QPointF(0, screen.height())};
    if (QTransform::quadToQuad(picture, frame, onScreen)) {
        p.setTransform(onScreen);
        p.drawImage(0, 0, screen);
        p.resetTransform();
    }
    for (const QImage& layer : front)
        p.drawImage(0, 0, layer);
    p.end();
    return canvas.scaled(320, 180, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-sample-studio OUT_PARENT\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/Sample Studio");
    QDir work(QDir::tempPath() + QStringLiteral("/kelvane-sample-%1").arg(QCoreApplication::applicationPid()));
    if (!QDir().mkpath(folder) || !work.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "make-sample-studio: cannot make the folders\n");
        return 1;
    }
    const QImage background = DrawBackground();
    const QImage desk = DrawDesk();
    const QImage foreground = DrawForeground();
    const QImage screen = DrawScreenPicture();
    const QString uvPath = work.filePath(QStringLiteral("screen-uv.png"));
    UvQuad quad;
    for (int i = 0; i < 4; ++i) {
        quad.x[i] = kScreenX[i];
        quad.y[i] = kScreenY[i];
    }
    std::string error;
    bool ok = Save(background, work.filePath(QStringLiteral("background.png"))) &&
              Save(desk, work.filePath(QStringLiteral("desk.png"))) &&
              Save(foreground, work.filePath(QStringLiteral("foreground.png"))) &&
              Save(screen, work.filePath(QStringLiteral("screen.png"))) &&
              Thumbnail(background, screen, {desk, foreground}).save(work.filePath(QStringLiteral("thumbnail.jpg")), "JPG", 90);
    if (ok && !WriteUvMapFile(uvPath.toStdWString(), kWidth, kHeight, quad, error)) {
        std::fprintf(stderr, "make-sample-studio: the screen's UV map: %s\n", error.c_str());
        ok = false;
    }
    if (ok) {
        // Front-most first.
        LayerList layers;
        layers.push_back(FullCanvasLayer("Foreground", work.filePath(QStringLiteral("foreground.png"))));
        layers.push_back(FullCanvasLayer("Desk", work.filePath(QStringLiteral("desk.png"))));
        LayerInfo screenLayer = FullCanvasLayer("Screen", work.filePath(QStringLiteral("screen.png")));
        SetLayerUvPath(screenLayer, platform::WideToAnsi(uvPath.toStdWString()));
        screenLayer.dynamic = 1;
        layers.push_back(screenLayer);
        layers.push_back(FullCanvasLayer("Background", work.filePath(QStringLiteral("background.png"))));
        const ShotList shots = {Shot("Wide", 0.0f, 0.0f, 1.0f), Shot("Desk", 0.0f, 0.35f, 1.5f),
                                Shot("Screen", -0.7f, -0.4f, 1.9f)};
        ok = WriteSceneFile((folder + QStringLiteral("/scene.tvn")).toStdWString(), layers, shots,
                            work.filePath(QStringLiteral("thumbnail.jpg")).toStdWString());
        if (!ok)
            std::fprintf(stderr, "make-sample-studio: cannot write the scene file\n");
    }
    work.removeRecursively();
    return ok ? 0 : 1;
}
