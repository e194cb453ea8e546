#include "projector/app/plugin_stream_win.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/binary_file.h"
#include "projector/app/plugin_instance_win.h"

namespace kestrel::projector {
namespace {

int g_liveStreams = 0;  // main thread only

}  // namespace

PluginStream::PluginStream(PluginInstance& instance, std::string url, std::string mimeType,
                           void* notifyData)
    : instance_(instance), url_(std::move(url)), mimeType_(std::move(mimeType)) {
    stream_.ndata = this;
    stream_.url = url_.c_str();
    stream_.notifyData = notifyData;
    ++g_liveStreams;
}

PluginStream::~PluginStream() {
    close(NPRES_DONE);
    --g_liveStreams;
}

int PluginStream::LiveCount() {
    return g_liveStreams;
}

bool PluginStream::open() {
    const NPPluginFuncs& plugin = instance_.plugin();
    if (!plugin.newstream) return false;
    streamType_ = NP_NORMAL;
    const NPError result =
        plugin.newstream(instance_.npp(), &mimeType_[0], &stream_, false, &streamType_);
    open_ = (result == NPERR_NO_ERROR);
    return open_;
}

bool PluginStream::acceptsDelivery() const {
    return open_ && (streamType_ == NP_NORMAL || streamType_ == NP_ASFILE);
}

template <typename Reader>
bool PluginStream::deliver(uint32_t total, size_t maxChunk, Reader read) {
    const NPPluginFuncs& plugin = instance_.plugin();
    if (!plugin.writeready || !plugin.write) return false;
    std::vector<uint8_t> buffer;
    uint32_t offset = 0;
    while (offset < total) {
        const int32_t ready = plugin.writeready(instance_.npp(), &stream_);
        if (ready <= 0) break;
        const size_t count =
            std::min({static_cast<size_t>(ready), static_cast<size_t>(total - offset), maxChunk});
        buffer.resize(count);
        if (!read(offset, buffer.data(), count)) break;
        const int32_t taken = plugin.write(instance_.npp(), &stream_, static_cast<int32_t>(offset),
                                           static_cast<int32_t>(count), buffer.data());
        // A plug-in may report more than it was given; never count past it.
        if (taken <= 0) break;
        offset += static_cast<uint32_t>(std::min(static_cast<size_t>(taken), count));
    }
    return offset == total;
}

bool PluginStream::deliverFile(const std::string& path) {
    if (!acceptsDelivery()) return false;
    BinaryFile file;
    if (!file.open(path, BinaryFile::Mode::Read)) return false;
    const int64_t size = file.size();
    if (size < 0 || size > 0x7FFFFFFF) return false;  // NPAPI offsets are 32-bit signed
    stream_.end = static_cast<uint32_t>(size);
    const bool complete = deliver(static_cast<uint32_t>(size), kFileChunkSize,
                                  [&file](uint32_t offset, uint8_t* into, size_t count) {
                                      return file.seek(offset) && file.readExactly(into, count);
                                  });
    if (complete && streamType_ == NP_ASFILE && instance_.plugin().asfile)
        instance_.plugin().asfile(instance_.npp(), &stream_, url_.c_str());
    return complete;
}

bool PluginStream::deliverData(const uint8_t* data, size_t size) {
    if (!acceptsDelivery() || size > 0x7FFFFFFF) return false;
    stream_.end = static_cast<uint32_t>(size);
    return deliver(static_cast<uint32_t>(size), size,
                   [data](uint32_t offset, uint8_t* into, size_t count) {
                       std::memcpy(into, data + offset, count);
                       return true;
                   });
}

void PluginStream::close(NPReason reason) {
    if (!open_) return;
    open_ = false;
    if (instance_.plugin().destroystream)
        instance_.plugin().destroystream(instance_.npp(), &stream_, reason);
}

}  // namespace kestrel::projector
