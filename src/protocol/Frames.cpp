#include "protocol/Frames.h"

#include <algorithm>

std::string BuildFrame(std::string_view tag, std::string_view payload) {
    std::string frame;
    frame.reserve(tag.size() + payload.size() + 16);
    frame += '<';
    frame += tag;
    frame += ':';
    frame += std::to_string(payload.size());
    frame += '>';
    frame += payload;
    return frame;
}

std::string ReadTag(std::string_view message) {
    if (message.empty())
        return {};
    const std::size_t colon = std::min(message.find(':'), message.size());
    return std::string(message.substr(1, colon > 0 ? colon - 1 : 0));
}

std::string ReadPayload(std::string_view message) {
    const std::size_t close = message.find('>');
    if (close == std::string_view::npos)
        return {};
    return std::string(message.substr(close + 1));
}

FrameReceiver::Result FrameReceiver::Receive(std::string_view bytes) {
    receiveBuffer_ += bytes;
    Result result;
    while (consumed_ < receiveBuffer_.size()) {
        if (frameLength_ == 0) {
            const HeaderState header = ParseHeader(ReceiveBuffer());
            if (header == HeaderState::Incomplete)
                break;
            if (header == HeaderState::Refused) {
                DropRefusedHeader();
                ++result.headersRefused;
                continue;
            }
        }
        const auto frameLength = static_cast<std::size_t>(frameLength_);
        if (receiveBuffer_.size() - consumed_ < frameLength) {
            MakeRoomFor(frameLength);
            break;
        }
        if (!messageQueue_.Fits(frameLength)) {
            result.queueFull = true;
            break;
        }
        if (consumed_ == 0 && receiveBuffer_.size() == frameLength) {
            messageQueue_.push_back(std::move(receiveBuffer_)); // a large frame is not copied
            receiveBuffer_.clear();
        } else {
            messageQueue_.push_back(receiveBuffer_.substr(consumed_, frameLength));
            consumed_ += frameLength;
        }
        payloadLength_ = 0;
        frameLength_ = 0;
        ++result.framesQueued;
    }
    Compact();
    return result;
}

void FrameReceiver::ResetStream() {
    receiveBuffer_.clear();
    consumed_ = 0;
    payloadLength_ = 0;
    frameLength_ = 0;
}

std::string_view FrameReceiver::ReceiveBuffer() const {
    return std::string_view(receiveBuffer_).substr(consumed_);
}

// A frame that is still arriving gets the front of the buffer and its whole length at
// once, so that its later pieces are appended without moving it again.
void FrameReceiver::MakeRoomFor(std::size_t frameLength) {
    if (receiveBuffer_.capacity() >= consumed_ + frameLength)
        return;
    receiveBuffer_.erase(0, consumed_);
    consumed_ = 0;
    receiveBuffer_.reserve(frameLength);
}

void FrameReceiver::Compact() {
    // Moving the rest to the front costs no more than the bytes consumed since the last
    // move, so every byte is moved a bounded number of times.
    constexpr std::size_t kCompactAfter = 64 * 1024;
    if (consumed_ == receiveBuffer_.size()) {
        receiveBuffer_.clear();
        consumed_ = 0;
    } else if (consumed_ >= kCompactAfter && consumed_ >= receiveBuffer_.size() - consumed_) {
        receiveBuffer_.erase(0, consumed_);
        consumed_ = 0;
    }
}

FrameReceiver::HeaderState FrameReceiver::ParseHeader(std::string_view rest) {
    if (rest.front() != '<')
        return HeaderState::Refused;
    // The ":" must stand at position 19 or less (counted from 1): a tag of 17 bytes.
    const std::string_view tagPart = rest.substr(0, MaxTagLength + 2);
    const std::size_t colon = tagPart.find(':');
    if (colon == std::string_view::npos) {
        const bool colonCanStillCome =
            rest.size() <= MaxTagLength + 1 && tagPart.find('>') == std::string_view::npos;
        return colonCanStillCome ? HeaderState::Incomplete : HeaderState::Refused;
    }
    if (tagPart.substr(0, colon).find('>') != std::string_view::npos)
        return HeaderState::Refused;
    // The length: decimal digits only, at most MaxLengthDigits of them, ended by ">".
    long long length = 0;
    std::size_t at = colon + 1;
    for (; at < rest.size() && rest[at] != '>'; ++at) {
        const char c = rest[at];
        if (at - colon > MaxLengthDigits || c < '0' || c > '9')
            return HeaderState::Refused;
        length = length * 10 + (c - '0');
        if (length > MaxPayloadLength)
            return HeaderState::Refused;
    }
    if (at == rest.size())
        return HeaderState::Incomplete;
    if (at == colon + 1)
        return HeaderState::Refused;
    payloadLength_ = static_cast<int>(length);
    frameLength_ = static_cast<int>(at + 1) + payloadLength_;
    return HeaderState::Accepted;
}

void FrameReceiver::DropRefusedHeader() {
    const std::size_t next = receiveBuffer_.find('<', consumed_ + 1);
    consumed_ = next == std::string::npos ? receiveBuffer_.size() : next;
    payloadLength_ = 0;
    frameLength_ = 0;
}
