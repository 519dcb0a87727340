#include "app/Frames.h"

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

std::string ExtractSection(std::string& payload, std::string_view name) {
    const std::string open = "<" + std::string(name) + ">";
    const std::string close = "</" + std::string(name) + ">";
    const std::size_t found = payload.find(open);
    if (found == std::string::npos)
        return {};
    // Positions from 1, as the protocol counts them; e is 0 when the closing tag is absent.
    const auto s = static_cast<long long>(found) + 1;
    const std::size_t closeFound = payload.find(close);
    const long long e =
        closeFound == std::string::npos ? 0 : static_cast<long long>(closeFound) + 1;
    const auto openLength = static_cast<long long>(open.size());
    std::string text;
    const long long textLength = e - s - openLength;
    if (textLength > 0)
        text = payload.substr(found + open.size(), static_cast<std::size_t>(textLength));
    // Delete from s up to and including the last byte of the closing tag, position
    // e + length(open); nothing when that lies before s.
    const long long deleteCount = e + openLength - s + 1;
    if (deleteCount > 0)
        payload.erase(found, static_cast<std::size_t>(deleteCount));
    return text;
}

FrameReceiver::Result FrameReceiver::Receive(std::string_view bytes) {
    receiveBuffer_ += bytes;
    Result result;
    while (!receiveBuffer_.empty()) {
        if (frameLength_ == 0) {
            const HeaderState header = ParseHeader();
            if (header == HeaderState::Incomplete)
                break;
            if (header == HeaderState::Refused) {
                DropRefusedHeader();
                ++result.headersRefused;
                continue;
            }
        }
        if (receiveBuffer_.size() < static_cast<std::size_t>(frameLength_))
            break;
        messageQueue_.push_back(receiveBuffer_.substr(0, static_cast<std::size_t>(frameLength_)));
        receiveBuffer_.erase(0, static_cast<std::size_t>(frameLength_));
        payloadLength_ = 0;
        frameLength_ = 0;
        ++result.framesQueued;
    }
    return result;
}

void FrameReceiver::ResetStream() {
    receiveBuffer_.clear();
    payloadLength_ = 0;
    frameLength_ = 0;
}

FrameReceiver::HeaderState FrameReceiver::ParseHeader() {
    const std::string& buffer = receiveBuffer_;
    if (buffer.front() != '<')
        return HeaderState::Refused;
    const std::size_t colon = buffer.find(':');
    const std::size_t close = buffer.find('>');
    // The ":" must stand at position 19 or less (counted from 1): a tag of 17 bytes.
    const std::size_t maxColonIndex = MaxTagLength + 1;
    if (colon == std::string::npos || colon > maxColonIndex) {
        const bool colonCanStillCome = colon == std::string::npos &&
                                       buffer.size() <= maxColonIndex && close == std::string::npos;
        return colonCanStillCome ? HeaderState::Incomplete : HeaderState::Refused;
    }
    if (close != std::string::npos && close < colon)
        return HeaderState::Refused;
    // The length: decimal digits only, at most the digits of MaxPayloadLength.
    const std::size_t digitsEnd = close == std::string::npos ? buffer.size() : close;
    const std::string_view digits(buffer.data() + colon + 1, digitsEnd - colon - 1);
    constexpr std::size_t maxDigits = 16; // room for leading zeros, and a bound on waiting
    if (digits.size() > maxDigits)
        return HeaderState::Refused;
    long long length = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return HeaderState::Refused;
        length = length * 10 + (c - '0');
        if (length > MaxPayloadLength)
            return HeaderState::Refused;
    }
    if (close == std::string::npos)
        return HeaderState::Incomplete;
    if (digits.empty())
        return HeaderState::Refused;
    payloadLength_ = static_cast<int>(length);
    frameLength_ = static_cast<int>(close + 1) + payloadLength_;
    return HeaderState::Accepted;
}

void FrameReceiver::DropRefusedHeader() {
    const std::size_t next = receiveBuffer_.find('<', 1);
    receiveBuffer_.erase(0, next == std::string::npos ? receiveBuffer_.size() : next);
    payloadLength_ = 0;
    frameLength_ = 0;
}
