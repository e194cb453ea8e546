// Builds payload bytes by hand, including ones the writer refuses to write.
#pragma once

#include <cstdint>
#include <string>

#include "common/payload_format.h"
#include "tests/common/test_folder.h"

namespace kestrel::test {

class RawPayload {
  public:
    explicit RawPayload(const std::string& stub = "MZ stub bytes") : bytes_(BytesOf(stub)) {}

    RawPayload& word(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(static_cast<uint8_t>(value >> shift));
        return *this;
    }
    RawPayload& blob(const std::string& data) {
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return word(static_cast<uint32_t>(data.size()));
    }
    RawPayload& trailer(uint32_t type, uint32_t size = 0) { return word(size).word(type); }
    RawPayload& startMarker() { return trailer(0); }
    RawPayload& fileItem(const std::string& name, const std::string& content) {
        return blob(content).blob(name).trailer(
            5, static_cast<uint32_t>(content.size() + name.size() + 8));
    }
    RawPayload& maskItem(const std::string& name, const std::string& region, uint32_t index) {
        return blob(region).blob(name).word(index).trailer(7);
    }
    RawPayload& settingsItem(const std::string& document) { return blob(document).trailer(1); }
    RawPayload& endMark() {
        bytes_.insert(bytes_.end(), std::begin(kPayloadEndMark), std::end(kPayloadEndMark));
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }

  private:
    Bytes bytes_;
};

}  // namespace kestrel::test
