#pragma once

#include <QByteArray>

#include <boost/asio/buffer.hpp>
#include <boost/system/error_code.hpp>

#include <algorithm>
#include <cstddef>
#include <utility>

// Passes reads through to the stream below and keeps a copy of every byte that
// arrives, up to a limit, for the traffic log: the bytes as they came over the
// wire, before any parser has seen them. Every byte is counted, kept or not.
template <typename NextLayer> class RecordingReadStream
{
public:
    using executor_type = typename NextLayer::executor_type;

    RecordingReadStream(NextLayer& next, QByteArray& kept, qint64& received, qint64 keepLimit)
        : next_(next), kept_(kept), received_(received), keepLimit_(keepLimit)
    {
    }

    executor_type get_executor() { return next_.get_executor(); }

    template <typename MutableBuffers, typename Handler>
    void async_read_some(const MutableBuffers& buffers, Handler&& handler)
    {
        next_.async_read_some(buffers, [this, buffers, handler = std::forward<Handler>(handler)](
                                           const boost::system::error_code& ec, std::size_t n) mutable {
            keep(buffers, n);
            handler(ec, n);
        });
    }

private:
    template <typename MutableBuffers> void keep(const MutableBuffers& buffers, std::size_t n)
    {
        received_ += static_cast<qint64>(n);
        for (auto it = boost::asio::buffer_sequence_begin(buffers);
             n > 0 && it != boost::asio::buffer_sequence_end(buffers); ++it) {
            const boost::asio::const_buffer piece(*it);
            const std::size_t size = std::min(n, piece.size());
            const qint64 room = keepLimit_ - kept_.size();
            if (room > 0)
                kept_.append(static_cast<const char*>(piece.data()),
                             static_cast<qsizetype>(std::min<qint64>(room, static_cast<qint64>(size))));
            n -= size;
        }
    }

    NextLayer& next_;
    QByteArray& kept_;
    qint64& received_;
    qint64 keepLimit_;
};
