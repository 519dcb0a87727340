#pragma once

#include "protocol/FrameQueue.h"

#include <cstddef>
#include <string>
#include <string_view>

// The framed text protocol between the client and the testing server. A frame is "<",
// a tag of 1 to 17 bytes, ":", the payload's length in decimal, ">" and the payload.
// Everything here works on CP1251 byte strings.

// Builds "<TAG:LENGTH>PAYLOAD".
std::string BuildFrame(std::string_view tag, std::string_view payload);

// The tag of a queued message: from its second byte up to its first ":".
std::string ReadTag(std::string_view message);

// The payload of a message: everything after its first ">".
std::string ReadPayload(std::string_view message);

// Cuts the received byte stream into frames. Every complete frame is queued on each
// call of Receive, header included, in arrival order. A header that can never be valid
// (first byte not "<", no ":" among its first 19 bytes, ">" before ":", a length that
// is empty, not decimal or over MaxPayloadLength) is dropped up to the next "<", and
// Receive reports it so that the caller can show it once.
//
// The cost per byte does not depend on how many bytes arrive at once: the buffer is
// consumed through an offset and compacted only when the consumed part outweighs the
// rest, and a header is looked for only among its longest possible length of bytes.
class FrameReceiver {
public:
    static constexpr int MaxTagLength = 17;
    static constexpr int MaxPayloadLength = 16 * 1024 * 1024;
    // Digits of the length; leading zeros are allowed up to this count.
    static constexpr std::size_t MaxLengthDigits = 16;

    struct Result {
        int framesQueued = 0;
        int headersRefused = 0; // runs of bytes dropped because their header was refused
        bool queueFull = false; // a complete frame did not fit into the queue: reading
                                // stopped, and the frame waits in the buffer
    };

    FrameReceiver() = default;
    explicit FrameReceiver(FrameQueue queue) : messageQueue_(std::move(queue)) {}

    Result Receive(std::string_view bytes);

    // Empties the buffer and the header state (a new connection starts clean); the
    // queue of complete frames is kept.
    void ResetStream();

    FrameQueue& MessageQueue() { return messageQueue_; }
    const FrameQueue& MessageQueue() const { return messageQueue_; }
    // The bytes received and not yet cut into frames.
    std::string_view ReceiveBuffer() const;
    int PayloadLength() const { return payloadLength_; }
    int FrameLength() const { return frameLength_; }

private:
    enum class HeaderState { Incomplete, Accepted, Refused };

    HeaderState ParseHeader(std::string_view rest);
    void DropRefusedHeader();
    void Compact();
    void MakeRoomFor(std::size_t frameLength);

    std::string receiveBuffer_;
    std::size_t consumed_ = 0; // bytes at the front of receiveBuffer_ already cut off
    int payloadLength_ = 0;
    int frameLength_ = 0;
    FrameQueue messageQueue_;
};
