#include "platform/AvEncoding.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

AVDictionary* dictionary(const AvEncoding::Options& options)
{
    AVDictionary* d = nullptr;
    for (const auto& [key, value] : options) {
        av_dict_set(&d, key, value, 0);
    }
    return d;
}

constexpr AVRational Milliseconds{1, 1000};

} // namespace

AvEncoding::AvEncoding(const Setup& setup)
{
    av_log_set_level(AV_LOG_ERROR); // the libraries' notes are not for the user
    const AVCodec* codec = avcodec_find_encoder_by_name(setup.encoder);
    if (codec == nullptr || setup.size.isEmpty() || setup.ticksPerSecond <= 0) {
        return;
    }
    if (setup.throughFile) {
        m_folder = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("skyvane-XXXXXX")));
        if (!m_folder->isValid()) {
            return;
        }
        m_path = QFile::encodeName(m_folder->filePath(QStringLiteral("loop.") + QLatin1String(setup.muxer)));
    }
    if (avformat_alloc_output_context2(&m_format, nullptr, setup.muxer,
                                       m_path.isEmpty() ? nullptr : m_path.constData()) < 0) {
        return;
    }
    m_stream = avformat_new_stream(m_format, nullptr);
    m_codec = avcodec_alloc_context3(codec);
    m_frame = av_frame_alloc();
    m_packet = av_packet_alloc();
    if (m_stream == nullptr || m_codec == nullptr || m_frame == nullptr || m_packet == nullptr) {
        return;
    }
    m_codec->width = setup.size.width();
    m_codec->height = setup.size.height();
    m_codec->pix_fmt = AVPixelFormat(setup.pixelFormat);
    m_codec->time_base = {1, setup.ticksPerSecond};
    if ((m_format->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (setup.tuned) {
        setup.tuned(m_codec);
    }
    AVDictionary* encoderOptions = dictionary(setup.encoderOptions);
    const int opened = avcodec_open2(m_codec, codec, &encoderOptions);
    av_dict_free(&encoderOptions);
    if (opened < 0 || avcodec_parameters_from_context(m_stream->codecpar, m_codec) < 0) {
        return;
    }
    m_stream->time_base = m_codec->time_base;
    if ((m_path.isEmpty() ? avio_open_dyn_buf(&m_format->pb)
                          : avio_open(&m_format->pb, m_path.constData(), AVIO_FLAG_WRITE)) < 0) {
        return;
    }
    AVDictionary* muxerOptions = dictionary(setup.muxerOptions);
    const int header = avformat_write_header(m_format, &muxerOptions);
    av_dict_free(&muxerOptions);
    m_open = header >= 0;
    m_frame->format = m_codec->pix_fmt;
    m_frame->width = m_codec->width;
    m_frame->height = m_codec->height;
    m_failed = header < 0 || av_frame_get_buffer(m_frame, 0) < 0;
}

AvEncoding::~AvEncoding()
{
    if (m_open) {
        av_write_trailer(m_format); // a muxer frees what it holds there (GIF: the packet it waits with)
    }
    if (m_format != nullptr && m_format->pb != nullptr) {
        if (m_path.isEmpty()) {
            uint8_t* bytes = nullptr;
            avio_close_dyn_buf(m_format->pb, &bytes);
            av_free(bytes);
            m_format->pb = nullptr;
        } else {
            avio_closep(&m_format->pb);
        }
    }
    avformat_free_context(m_format);
    avcodec_free_context(&m_codec);
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
}

bool AvEncoding::fail()
{
    m_failed = true;
    return false;
}

AVFrame* AvEncoding::frame()
{
    if (m_failed || av_frame_make_writable(m_frame) < 0) {
        fail();
        return nullptr;
    }
    return m_frame;
}

bool AvEncoding::add(qint64 startMs, int durationMs)
{
    if (m_failed) {
        return false;
    }
    // Times only go forward, by at least a tick, however the milliseconds round.
    const qint64 pts = qMax(m_nextPts, av_rescale_q(startMs, Milliseconds, m_codec->time_base));
    const qint64 end =
        qMax(pts + 1, av_rescale_q(startMs + qMax(1, durationMs), Milliseconds, m_codec->time_base));
    m_frame->pts = pts;
    m_durations.insert(pts, end - pts);
    m_nextPts = end;
    return avcodec_send_frame(m_codec, m_frame) >= 0 ? drain() : fail();
}

bool AvEncoding::drain()
{
    for (;;) {
        const int got = avcodec_receive_packet(m_codec, m_packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) {
            return true;
        }
        if (got < 0) {
            return fail();
        }
        m_packet->duration = m_durations.value(m_packet->pts, m_packet->duration);
        m_packet->stream_index = m_stream->index;
        av_packet_rescale_ts(m_packet, m_codec->time_base, m_stream->time_base);
        if (av_interleaved_write_frame(m_format, m_packet) < 0) { // takes the packet's data
            return fail();
        }
    }
}

QByteArray AvEncoding::finish()
{
    if (m_failed || avcodec_send_frame(m_codec, nullptr) < 0 || !drain()) {
        fail();
        return {};
    }
    m_open = false;
    if (av_write_trailer(m_format) < 0) {
        fail();
        return {};
    }
    fail(); // once
    QByteArray out;
    if (m_path.isEmpty()) {
        uint8_t* bytes = nullptr;
        const int size = avio_close_dyn_buf(m_format->pb, &bytes);
        m_format->pb = nullptr;
        if (bytes != nullptr && size > 0) {
            out = QByteArray(reinterpret_cast<const char*>(bytes), size);
        }
        av_free(bytes);
        return out;
    }
    if (avio_closep(&m_format->pb) < 0) {
        return {};
    }
    QFile file(QFile::decodeName(m_path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
