// NetConnection (Flash Remoting: calls posted to a server as AMF0) and LocalConnection
// (messages between movies of this player, their arguments carried as AMF0 too, so the
// receiver gets copies as another movie would).
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/unicode_case.h"
#include "player/avm1/conversions.h"
#include "player/runtime/amf0.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

// --- NetConnection ---------------------------------------------------------------------

struct NetConnectionData : avm1::NativeData {
    std::string url;
    bool connected = false;
    uint32_t lastCall = 0;
    // Responders waiting for their answer, by call number; heap-managed.
    std::vector<std::pair<uint32_t, Object*>> responders;
    void markReferences(avm1::Marker& m) override {
        for (auto& r : responders) m.mark(r.second);
    }
};

NetConnectionData* NetConnectionOf(const Value& v) {
    Object* o = v.asObject();
    return o ? dynamic_cast<NetConnectionData*>(o->nativeData()) : nullptr;
}

void InstallNetConnection(MoviePlayer& player, Vm& vm) {
    Object* proto = vm.newObject();
    makeClass(vm, "NetConnection", proto, [](NativeCall& call) -> Value {
        if (Object* self = call.thisObject())
            self->setNativeData(std::make_unique<NetConnectionData>());
        return Value();
    });
    // connect(null) is for streams of this machine; a URL is a remoting gateway, reached
    // only when a call is made.
    vm.defineMethod(proto, "connect", [](NativeCall& call) -> Value {
        NetConnectionData* nc = NetConnectionOf(call.thisValue);
        if (!nc) return Value(false);
        nc->url = call.arg(0).isNullish() ? std::string() : call.vm.toString(call.arg(0));
        nc->connected = true;
        return Value(true);
    });
    vm.defineMethod(proto, "close", [](NativeCall& call) -> Value {
        if (NetConnectionData* nc = NetConnectionOf(call.thisValue)) nc->connected = false;
        return Value();
    });
    MoviePlayer* p = &player;
    // call(method, responder, args...): posts one message; the answer "/N/onResult" or
    // "/N/onStatus" goes to the responder of call N.
    vm.defineMethod(proto, "call", [p](NativeCall& call) -> Value {
        NetConnectionData* nc = NetConnectionOf(call.thisValue);
        if (!nc || !nc->connected || nc->url.empty() || call.args.empty()) return Value(false);
        std::string method = call.vm.toString(call.args[0]);
        std::vector<Value> args;
        for (size_t i = 2; i < call.args.size(); ++i) args.push_back(call.args[i]);
        uint32_t number = ++nc->lastCall;
        std::string body =
            EncodeRemotingRequest(call.vm, method, "/" + std::to_string(number), args);
        if (Object* responder = call.arg(1).asObject())
            nc->responders.emplace_back(number, responder);
        return Value(p->startLoad(MoviePlayer::PendingLoad::Remoting, call.thisObject(), nc->url,
                                  true, body, "application/x-amf"));
    });
}

// --- LocalConnection ---------------------------------------------------------------------

struct LocalMessage {
    std::string name;
    std::string method;
    std::string arguments;  // AMF0, one value after another
    Object* sender = nullptr;
};

// The connections of this player and the messages on their way; every object here is
// heap-managed and kept alive by the root marker.
struct LocalConnections {
    std::vector<std::pair<std::string, Object*>> receivers;
    std::vector<LocalMessage> queue;

    Object* receiver(std::string_view name) const {
        for (const auto& [n, o] : receivers)
            if (NamesEqualIgnoringCase(n, name)) return o;
        return nullptr;
    }
    void remove(Object* o) {
        for (auto it = receivers.begin(); it != receivers.end(); ++it)
            if (it->second == o) {
                receivers.erase(it);
                return;
            }
    }
};

void ReportStatus(Vm& vm, Object* sender, const char* level) {
    if (!sender) return;
    Object* info = vm.newObject();
    info->define("level", Value(level));
    vm.callMethod(Value(sender), "onStatus", {Value(info)});
}

// Delivers what was sent before this frame: the receiver's method gets the copies.
void Deliver(Vm& vm, LocalConnections& connections) {
    std::vector<LocalMessage> due;
    due.swap(connections.queue);
    for (LocalMessage& m : due) {
        Object* receiver = connections.receiver(m.name);
        if (!receiver) {
            ReportStatus(vm, m.sender, "error");
            continue;
        }
        std::vector<Value> args;
        Amf0Reader in(vm, m.arguments);
        while (!in.atEnd()) {
            auto v = in.Read();
            if (!v) break;
            args.push_back(*v);
        }
        vm.callMethod(Value(receiver), m.method, args);
        ReportStatus(vm, m.sender, "status");
    }
}

void InstallLocalConnection(Vm& vm) {
    auto connections = std::make_shared<LocalConnections>();
    vm.addRootMarker([connections](avm1::Marker& m) {
        for (auto& r : connections->receivers) m.mark(r.second);
        for (auto& q : connections->queue) m.mark(q.sender);
    });
    Object* proto = vm.newObject();
    makeClass(vm, "LocalConnection", proto, nullptr);
    vm.defineMethod(proto, "connect", [connections](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self || !call.arg(0).isString()) return Value(false);
        std::string name = call.arg(0).asString();
        if (name.empty() || name.find(':') != std::string::npos) return Value(false);
        for (const auto& r : connections->receivers)
            if (r.second == self) return Value(false);
        if (connections->receiver(name)) return Value(false);
        connections->receivers.emplace_back(name, self);
        return Value(true);
    });
    vm.defineMethod(proto, "close", [connections](NativeCall& call) -> Value {
        if (Object* self = call.thisObject()) connections->remove(self);
        return Value();
    });
    vm.defineMethod(proto, "domain", [](NativeCall&) { return Value("localhost"); });
    // send(name, method, args...): delivered on the next frame, never inside the call.
    vm.defineMethod(proto, "send", [connections](NativeCall& call) -> Value {
        if (call.args.size() < 2 || !call.args[0].isString() || !call.args[1].isString())
            return Value(false);
        LocalMessage m;
        m.name = call.args[0].asString();
        m.method = call.args[1].asString();
        if (m.name.empty() || m.method.empty()) return Value(false);
        Amf0Writer out(call.vm);
        for (size_t i = 2; i < call.args.size(); ++i) out.Write(call.args[i]);
        m.arguments = std::move(out.bytes());
        m.sender = call.thisObject();
        bool first = connections->queue.empty();
        connections->queue.push_back(std::move(m));
        if (first) {
            Vm::Interval delivery;
            delivery.id = call.vm.nextIntervalId();
            delivery.function = Value(call.vm.newNativeFunction([connections](NativeCall& c) {
                Deliver(c.vm, *connections);
                return Value();
            }));
            delivery.periodMs = -1;  // once
            delivery.nextDueMs = call.vm.host().timerMs();
            call.vm.intervals().push_back(std::move(delivery));
        }
        return Value(true);
    });
}

}  // namespace

void installConnectionClasses(MoviePlayer& player, Vm& vm) {
    InstallNetConnection(player, vm);
    InstallLocalConnection(vm);
}

void deliverRemotingData(Vm& vm, Object* connection, const std::string* data) {
    NetConnectionData* nc = NetConnectionOf(Value(connection));
    if (!nc) return;
    std::optional<std::vector<RemotingMessage>> messages;
    if (data) messages = DecodeRemotingResponse(vm, *data);
    if (!messages) {
        // No answer: every waiting responder hears of the failure.
        auto waiting = std::move(nc->responders);
        nc->responders.clear();
        for (auto& [number, responder] : waiting) {
            Object* info = vm.newObject();
            info->define("level", Value("error"));
            info->define("code", Value("NetConnection.Call.Failed"));
            vm.callMethod(Value(responder), "onStatus", {Value(info)});
        }
        return;
    }
    for (RemotingMessage& m : *messages) {
        // "/N/onResult" or "/N/onStatus".
        size_t slash = m.target.find('/', 1);
        if (m.target.empty() || m.target[0] != '/' || slash == std::string::npos) continue;
        uint32_t number = avm1::toUint32(std::atof(m.target.substr(1, slash - 1).c_str()));
        std::string handler = m.target.substr(slash + 1);
        for (auto it = nc->responders.begin(); it != nc->responders.end(); ++it) {
            if (it->first != number) continue;
            Object* responder = it->second;
            nc->responders.erase(it);
            vm.callMethod(Value(responder), handler == "onStatus" ? "onStatus" : "onResult",
                          {m.value});
            break;
        }
    }
}

}  // namespace kestrel::runtime
