// lumora-gallery: shows every Lumora frame and control in its states.
//   lumora-gallery [--language NAME] [--screenshot OUT.png]
// With --screenshot the window is drawn once, written as a PNG, and the
// program exits (0 when the file was written).
#include "GalleryTexts.h"
#include "GalleryWindow.h"
#include "lumora/Lang.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

int WriteScreenshot(QApplication& app, GalleryWindow& window, const QString& path)
{
    int result = 1;
    // Let the window reach the display, then put on the looks and draw it.
    QTimer::singleShot(300, &window, [&] {
        window.ShowStates();
        QTimer::singleShot(250, &window, [&] {
            const QPixmap picture = window.grab();
            result = !picture.isNull() && picture.save(path, "PNG") ? 0 : 1;
            if (result)
                std::fprintf(stderr, "lumora-gallery: cannot write %s\n", qPrintable(path));
            app.quit();
        });
    });
    app.exec();
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), QStringLiteral("Write a PNG picture and exit."),
                                        QStringLiteral("file"));
    const QCommandLineOption language(QStringLiteral("language"), QStringLiteral("Language to show (English or 简体中文)."),
                                      QStringLiteral("name"), QStringLiteral("English"));
    parser.addOption(screenshot);
    parser.addOption(language);
    parser.process(app);

    QTemporaryDir root;
    if (!root.isValid() || !gallery::InstallLanguages(root.path())) {
        std::fprintf(stderr, "lumora-gallery: cannot prepare the language files\n");
        return 1;
    }
    Lang::SetCurLanguage(parser.value(language).toStdWString());

    GalleryWindow window;
    window.resize(1280, 800);
    window.show();
    if (parser.isSet(screenshot))
        return WriteScreenshot(app, window, parser.value(screenshot));
    return app.exec();
}
