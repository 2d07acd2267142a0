#pragma once

#include <QByteArray>

#include <boost/asio/buffer.hpp>
#include <boost/beast/core/error.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/optional.hpp>

#include <cstdint>

// A Beast body read straight into the QByteArray that its reader gets, so that
// a body is held once, not once for Beast and once more for Qt.
struct ByteArrayBody
{
    using value_type = QByteArray;

    class reader
    {
    public:
        template <bool isRequest, typename Fields>
        reader(boost::beast::http::header<isRequest, Fields>&, value_type& body) : body(body)
        {
        }

        void init(const boost::optional<std::uint64_t>& length, boost::beast::error_code& ec)
        {
            ec = {};
            // Only called within the parser's body limit.
            if (length)
                body.reserve(static_cast<qsizetype>(*length));
        }

        template <typename ConstBuffers>
        std::size_t put(const ConstBuffers& buffers, boost::beast::error_code& ec)
        {
            ec = {};
            std::size_t stored = 0;
            for (auto it = boost::asio::buffer_sequence_begin(buffers);
                 it != boost::asio::buffer_sequence_end(buffers); ++it) {
                const boost::asio::const_buffer piece(*it);
                body.append(static_cast<const char*>(piece.data()), static_cast<qsizetype>(piece.size()));
                stored += piece.size();
            }
            return stored;
        }

        void finish(boost::beast::error_code& ec) { ec = {}; }

    private:
        value_type& body;
    };
};
