// Date. Local time is taken to be UTC: the player has no time zone of its own.
#include <chrono>
#include <cmath>
#include <cstdio>

#include "player/avm1/builtins.h"
#include "player/avm1/object.h"

namespace kestrel::avm1 {

namespace {

constexpr double kMsPerDay = 86400000.0;

// Days since 1970-01-01 of a civil date (month 0-11, may overflow into other years).
double daysFromCivil(double year, double month, double day) {
    double y = year + std::floor(month / 12);
    double m = std::fmod(month, 12);
    if (m < 0) m += 12;
    long long yy = static_cast<long long>(y) - (m < 2 ? 1 : 0);
    long long mm = static_cast<long long>(m) + 1;
    long long era = (yy >= 0 ? yy : yy - 399) / 400;
    long long yoe = yy - era * 400;
    long long doy = (153 * (mm + (mm > 2 ? -3 : 9)) + 2) / 5;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<double>(era * 146097 + doe - 719468) + day - 1;
}

struct Fields {
    double year, month, day, hours, minutes, seconds, ms, weekday;
};

Fields split(double t) {
    Fields f{};
    double days = std::floor(t / kMsPerDay);
    double msInDay = t - days * kMsPerDay;
    long long z = static_cast<long long>(days) + 719468;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    long long d = doy - (153 * mp + 2) / 5 + 1;
    long long m = mp < 10 ? mp + 3 : mp - 9;
    f.year = static_cast<double>(y + (m <= 2 ? 1 : 0));
    f.month = static_cast<double>(m - 1);
    f.day = static_cast<double>(d);
    f.hours = std::floor(msInDay / 3600000);
    f.minutes = std::fmod(std::floor(msInDay / 60000), 60);
    f.seconds = std::fmod(std::floor(msInDay / 1000), 60);
    f.ms = std::fmod(msInDay, 1000);
    f.weekday = std::fmod(days + 4, 7);
    if (f.weekday < 0) f.weekday += 7;
    return f;
}

double compose(const Fields& f) {
    // Fields this large cannot make a valid time (and would overflow the day arithmetic).
    for (double v : {f.year, f.month, f.day, f.hours, f.minutes, f.seconds, f.ms})
        if (!std::isfinite(v) || std::fabs(v) > 1e12) return std::nan("");
    double t = daysFromCivil(f.year, f.month, 1) + f.day - 1;
    t = t * kMsPerDay + f.hours * 3600000 + f.minutes * 60000 + f.seconds * 1000 + f.ms;
    if (!std::isfinite(t) || std::fabs(t) > 8.64e15) return std::nan("");
    return t;
}

// Times beyond +-8.64e15 ms (about 275,000 years) are invalid, as in ECMAScript.
double timeClip(double t) {
    if (!std::isfinite(t) || std::fabs(t) > 8.64e15) return std::nan("");
    return std::trunc(t);
}

double timeOf(NativeCall& c) {
    Object* o = c.thisObject();
    if (!o || o->kind() != ObjectKind::Date) return std::nan("");
    return o->primitive().asNumber();
}

void setTime(NativeCall& c, double t) {
    if (Object* o = c.thisObject(); o && o->kind() == ObjectKind::Date)
        o->setPrimitive(Value(timeClip(t)));
}

double nowMs() {
    using namespace std::chrono;
    return static_cast<double>(
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

// Date(year, month[, day, hours, minutes, seconds, ms]) with two-digit years meaning 19xx.
double fromArgs(NativeCall& c, size_t first) {
    Fields f{};
    double v[7] = {0, 0, 1, 0, 0, 0, 0};
    for (size_t i = 0; i < 7 && first + i < c.args.size(); ++i)
        v[i] = c.vm.toNumber(c.args[first + i]);
    for (double d : v)
        if (std::isnan(d)) return std::nan("");
    f.year = std::trunc(v[0]);
    if (f.year >= 0 && f.year < 100) f.year += 1900;
    f.month = std::trunc(v[1]);
    f.day = std::trunc(v[2]);
    f.hours = std::trunc(v[3]);
    f.minutes = std::trunc(v[4]);
    f.seconds = std::trunc(v[5]);
    f.ms = std::trunc(v[6]);
    return compose(f);
}

Value dateConstruct(NativeCall& c) {
    Object* self = c.thisObject();
    if (!self) return Value();
    self->setKind(ObjectKind::Date);
    double t;
    if (c.args.empty())
        t = nowMs();
    else if (c.args.size() == 1)
        t = timeClip(c.vm.toNumber(c.args[0]));
    else
        t = fromArgs(c, 0);
    self->setPrimitive(Value(t));
    return c.thisValue;
}

std::string dateText(double t) {
    if (std::isnan(t)) return "Invalid Date";
    static const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    Fields f = split(t);
    char buf[80];
    std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT+0000 %d",
                  kDays[static_cast<int>(f.weekday)], kMonths[static_cast<int>(f.month)],
                  static_cast<int>(f.day), static_cast<int>(f.hours), static_cast<int>(f.minutes),
                  static_cast<int>(f.seconds), static_cast<int>(f.year));
    return buf;
}

using Getter = double (*)(const Fields&);

void defineGetter(Vm& vm, Object* proto, const char* name, const char* utcName, Getter g) {
    auto fn = [g](NativeCall& c) {
        double t = timeOf(c);
        if (std::isnan(t)) return Value(std::nan(""));
        return Value(g(split(t)));
    };
    vm.defineMethod(proto, name, fn);
    vm.defineMethod(proto, utcName, fn);
}

// Setters replace fields starting at `field` (0 year ... 6 ms) with the arguments given.
void defineSetter(Vm& vm, Object* proto, const char* name, const char* utcName, int field,
                  int maxArgs) {
    auto fn = [field, maxArgs](NativeCall& c) {
        double t = timeOf(c);
        Fields f = split(std::isnan(t) ? 0 : t);
        double* slots[7] = {&f.year, &f.month, &f.day, &f.hours, &f.minutes, &f.seconds, &f.ms};
        if (c.args.empty()) {
            setTime(c, std::nan(""));
            return Value(std::nan(""));
        }
        for (int i = 0; i < maxArgs && static_cast<size_t>(i) < c.args.size() && field + i < 7; ++i)
            *slots[field + i] = std::trunc(c.vm.toNumber(c.args[static_cast<size_t>(i)]));
        double r = compose(f);
        setTime(c, r);
        return Value(r);
    };
    vm.defineMethod(proto, name, fn);
    vm.defineMethod(proto, utcName, fn);
}

}  // namespace

void installDateBuiltins(Vm& vm) {
    Object* proto = vm.newObject();
    Object* ctor = defineClass(
        vm, "Date", [](NativeCall&) { return Value(dateText(nowMs())); }, dateConstruct, proto);
    vm.defineMethod(ctor, "UTC", [](NativeCall& c) { return Value(fromArgs(c, 0)); });
    vm.defineMethod(proto, "getTime", [](NativeCall& c) { return Value(timeOf(c)); });
    vm.defineMethod(proto, "valueOf", [](NativeCall& c) { return Value(timeOf(c)); });
    vm.defineMethod(proto, "toString", [](NativeCall& c) { return Value(dateText(timeOf(c))); });
    vm.defineMethod(proto, "getTimezoneOffset", [](NativeCall&) { return Value(0.0); });
    vm.defineMethod(proto, "setTime", [](NativeCall& c) {
        double t = timeClip(c.vm.toNumber(c.arg(0)));
        setTime(c, t);
        return Value(t);
    });
    defineGetter(vm, proto, "getFullYear", "getUTCFullYear",
                 [](const Fields& f) { return f.year; });
    defineGetter(vm, proto, "getYear", "getUTCYear", [](const Fields& f) { return f.year - 1900; });
    defineGetter(vm, proto, "getMonth", "getUTCMonth", [](const Fields& f) { return f.month; });
    defineGetter(vm, proto, "getDate", "getUTCDate", [](const Fields& f) { return f.day; });
    defineGetter(vm, proto, "getDay", "getUTCDay", [](const Fields& f) { return f.weekday; });
    defineGetter(vm, proto, "getHours", "getUTCHours", [](const Fields& f) { return f.hours; });
    defineGetter(vm, proto, "getMinutes", "getUTCMinutes",
                 [](const Fields& f) { return f.minutes; });
    defineGetter(vm, proto, "getSeconds", "getUTCSeconds",
                 [](const Fields& f) { return f.seconds; });
    defineGetter(vm, proto, "getMilliseconds", "getUTCMilliseconds",
                 [](const Fields& f) { return f.ms; });
    defineSetter(vm, proto, "setFullYear", "setUTCFullYear", 0, 3);
    defineSetter(vm, proto, "setMonth", "setUTCMonth", 1, 2);
    defineSetter(vm, proto, "setDate", "setUTCDate", 2, 1);
    defineSetter(vm, proto, "setHours", "setUTCHours", 3, 4);
    defineSetter(vm, proto, "setMinutes", "setUTCMinutes", 4, 3);
    defineSetter(vm, proto, "setSeconds", "setUTCSeconds", 5, 2);
    defineSetter(vm, proto, "setMilliseconds", "setUTCMilliseconds", 6, 1);
    vm.defineMethod(proto, "setYear", [](NativeCall& c) {
        double y = std::trunc(c.vm.toNumber(c.arg(0)));
        if (y >= 0 && y < 100) y += 1900;
        double t = timeOf(c);
        Fields f = split(std::isnan(t) ? 0 : t);
        f.year = y;
        double r = compose(f);
        setTime(c, r);
        return Value(r);
    });
}

}  // namespace kestrel::avm1
