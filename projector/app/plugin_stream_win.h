// One NPAPI stream from the browser to the plug-in: open, deliver a file or
// bytes from memory, close. The record lives only while it is delivered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/npapi/npapi_abi.h"

namespace kestrel::projector {

class PluginInstance;

class PluginStream {
  public:
    PluginStream(PluginInstance& instance, std::string url, std::string mimeType, void* notifyData);
    ~PluginStream();  // closes with reason "done" if still open
    PluginStream(const PluginStream&) = delete;
    PluginStream& operator=(const PluginStream&) = delete;

    // NPP_NewStream (not seekable). True when the plug-in accepted the stream.
    bool open();

    // Writes the whole file; true when every byte was taken. The plug-in must
    // have chosen a normal or as-file stream; an as-file stream then also gets
    // NPP_StreamAsFile with `url` as the file name.
    bool deliverFile(const std::string& path);
    bool deliverData(const uint8_t* data, size_t size);

    // NPP_DestroyStream once; later calls do nothing.
    void close(NPReason reason);

    // Forgets the stream of an instance that has ended, which took its streams
    // with it: nothing more is called for it, not even NPP_DestroyStream.
    void abandon() { open_ = false; }

    // Stream records alive now: each lives only while it is delivered, so a
    // count that stays up after the work is done is a leak.
    static int LiveCount();

    // Bytes per NPP_Write when delivering a file.
    static constexpr size_t kFileChunkSize = 100000;

  private:
    // Feeds bytes through WriteReady/Write; `read` fills up to `count` bytes at `offset`.
    template <typename Reader>
    bool deliver(uint32_t total, size_t maxChunk, Reader read);
    bool acceptsDelivery() const;

    PluginInstance& instance_;
    std::string url_;
    std::string mimeType_;
    NPStream stream_{};
    uint16_t streamType_ = NP_NORMAL;
    bool open_ = false;
};

}  // namespace kestrel::projector
