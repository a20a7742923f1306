#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSize>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <utility>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

// One video stream encoded with FFmpeg and put in a container, in memory or through a file of its own,
// frame after frame, each with its start and its duration in milliseconds. Every packet carries its
// frame's duration, so that the container holds the last frame's too. A failure at any step leaves it
// failed, and finish() then gives nothing.
class AvEncoding
{
public:
    using Options = QList<std::pair<const char*, const char*>>;
    struct Setup
    {
        const char* muxer;   // the container: "mp4", "gif"
        const char* encoder; // the encoder's name: "libx264", "gif"
        QSize size;
        int pixelFormat;                            // an AVPixelFormat
        int ticksPerSecond;                         // the time base the frames are timed in
        Options encoderOptions;                     // ("preset", "medium")...
        Options muxerOptions;                       // ("movflags", "+faststart")...
        std::function<void(AVCodecContext*)> tuned; // anything else set before the encoder opens
        bool throughFile = false;                   // the muxer reads back what it wrote
    };

    explicit AvEncoding(const Setup& setup);
    ~AvEncoding();
    AvEncoding(const AvEncoding&) = delete;
    AvEncoding& operator=(const AvEncoding&) = delete;

    // The frame to fill next, writable; none once failed.
    AVFrame* frame();
    // Encodes frame() as shown from startMs for durationMs; false once failed.
    bool add(qint64 startMs, int durationMs);
    // The container's bytes, once; empty when anything failed.
    QByteArray finish();

private:
    bool drain(); // packets out of the encoder into the container
    bool fail();

    std::unique_ptr<QTemporaryDir> m_folder; // of the file written through, removed with it
    QByteArray m_path;                       // the file written through; empty: in memory
    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVStream* m_stream = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    QHash<qint64, qint64> m_durations; // each frame's, by its time (a packet's pts)
    qint64 m_nextPts = 0;
    bool m_open = false; // the container's head written, not yet its end
    bool m_failed = true;
};
