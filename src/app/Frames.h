#pragma once

#include <cstddef>
#include <deque>
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

// Cuts the first section <NAME>...</NAME> out of a payload and returns its text. A
// missing section, or one whose closing tag is missing, gives empty text; the first
// occurrence wins and the section (up to its closing tag) is removed from the payload.
std::string ExtractSection(std::string& payload, std::string_view name);

// Cuts the received byte stream into frames. Every complete frame is queued on each
// call of Receive, header included, in arrival order. A header that can never be valid
// (first byte not "<", no ":" among its first 19 bytes, ">" before ":", a length that
// is empty, not decimal or over MaxPayloadLength) is dropped up to the next "<", and
// Receive reports it so that the caller can show it once.
class FrameReceiver {
public:
    static constexpr int MaxTagLength = 17;
    static constexpr int MaxPayloadLength = 16 * 1024 * 1024;

    struct Result {
        int framesQueued = 0;
        int headersRefused = 0; // runs of bytes dropped because their header was refused
    };

    Result Receive(std::string_view bytes);

    // Empties the buffer and the header state (a new connection starts clean); the
    // queue of complete frames is kept.
    void ResetStream();

    std::deque<std::string>& MessageQueue() { return messageQueue_; }
    const std::string& ReceiveBuffer() const { return receiveBuffer_; }
    int PayloadLength() const { return payloadLength_; }
    int FrameLength() const { return frameLength_; }

private:
    enum class HeaderState { Incomplete, Accepted, Refused };

    HeaderState ParseHeader();
    void DropRefusedHeader();

    std::string receiveBuffer_;
    int payloadLength_ = 0;
    int frameLength_ = 0;
    std::deque<std::string> messageQueue_;
};
