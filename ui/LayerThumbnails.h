#pragma once
// Small pictures of the layers' image files for the Layers list. Pictures
// are read on a worker thread, one at a time, and kept by path and the
// file's time of change, so refilling the list never reads a file again;
// the ready handler hears when a picture has come in.
#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QSize>
#include <QThreadPool>

#include <functional>

class CLayerThumbnails : public QObject {
public:
    explicit CLayerThumbnails(QSize size, QObject* parent = nullptr);
    ~CLayerThumbnails() override;

    // The picture of the file when it has been read, else a null pixmap (and
    // the file is queued). A file that cannot be read stays null.
    QPixmap Thumbnail(const QString& path);
    // Waits until every queued file has been read (for tests and benchmarks).
    void WaitForAll();

    void SetReadyHandler(std::function<void(const QString& path)> handler) { m_ready = std::move(handler); }

private:
    struct Key {
        QString path;
        qint64 changed = 0;
        bool operator==(const Key& other) const { return path == other.path && changed == other.changed; }
    };
    friend size_t qHash(const Key& key, size_t seed) { return qHash(key.path, seed) ^ static_cast<size_t>(key.changed); }

    static Key KeyOf(const QString& path);
    void Store(const Key& key, const QImage& image);

    QSize m_size;
    QHash<Key, QPixmap> m_pictures;
    QSet<QString> m_unreadable;
    QSet<QString> m_queued;
    std::function<void(const QString&)> m_ready;
    QThreadPool m_pool;
};
