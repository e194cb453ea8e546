// AMF0, the binary form Flash gives script values on their way to a remoting server
// (NetConnection.call) or to another movie (LocalConnection.send).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/avm1/vm.h"

namespace kestrel::runtime {

// Writes values one after another. An object met a second time is written as a reference
// to the first, so cycles end; display objects have no AMF form and go as undefined.
class Amf0Writer {
  public:
    explicit Amf0Writer(avm1::Vm& vm) : vm_(vm) {}
    void Write(const avm1::Value& value);
    void WriteNumber(double n);
    void WriteString(std::string_view text);  // a long string past 65535 bytes
    // A strict array of the values (the arguments of a remoting call).
    void WriteStrictArray(const std::vector<avm1::Value>& values);
    std::string& bytes() { return out_; }

  private:
    void WriteObject(avm1::Object& o);
    void WriteProperties(avm1::Object& o);
    void WriteName(std::string_view name);
    void U8(uint8_t b) { out_ += static_cast<char>(b); }
    void U16(uint32_t v);
    void U32(uint32_t v);

    avm1::Vm& vm_;
    std::string out_;
    std::vector<avm1::Object*> written_;  // not owned: reachable from what is written
    int depth_ = 0;
};

// Reads values back; every length is checked against what is left. After a fault the
// reader answers nothing more.
class Amf0Reader {
  public:
    Amf0Reader(avm1::Vm& vm, std::string_view bytes) : vm_(vm), in_(bytes) {}
    std::optional<avm1::Value> Read();
    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ >= in_.size(); }
    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    std::string Text(size_t length);
    std::string ShortText() { return Text(U16()); }

  private:
    avm1::Value ReadValue();
    void ReadProperties(avm1::Object& o);
    double Number();

    avm1::Vm& vm_;
    std::string_view in_;
    size_t pos_ = 0;
    bool ok_ = true;
    std::vector<avm1::Object*> read_;  // not owned: in the values being built
    int depth_ = 0;
};

// The body of a remoting request with one call: AMF version 0, no headers, one message
// to `target` answered at `responseUri` ("/1"), its arguments as a strict array.
std::string EncodeRemotingRequest(avm1::Vm& vm, std::string_view target,
                                  std::string_view responseUri,
                                  const std::vector<avm1::Value>& args);

// One message of a remoting response: its target ("/1/onResult") and value.
struct RemotingMessage {
    std::string target;
    avm1::Value value;
};
std::optional<std::vector<RemotingMessage>> DecodeRemotingResponse(avm1::Vm& vm,
                                                                   std::string_view bytes);

}  // namespace kestrel::runtime
