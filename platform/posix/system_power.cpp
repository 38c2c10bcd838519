#include "platform/system_power.h"

#include <gio/gio.h>

#include <string_view>

#include "platform/translation.h"

namespace vantrel {
namespace {

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kLogindObject = "/org/freedesktop/login1";
constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";

// The window waits for these answers on its UI thread; a bus that has hung
// must not freeze it for long.
constexpr int kCallTimeoutMs = 5000;
// A request may wait for the user to give a password in the system's own
// dialog; the system may go on to sleep after a shorter wait had given up.
constexpr int kRequestTimeoutMs = 120000;

constexpr const char* kUnreachable = TextToTranslate("The system's power service cannot be reached");

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
struct VariantUnref {
    void operator()(GVariant* value) const { g_variant_unref(value); }
};
struct ObjectUnref {
    void operator()(GDBusConnection* connection) const { g_object_unref(connection); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;
using ConnectionPtr = std::unique_ptr<GDBusConnection, ObjectUnref>;

// The system bus, or null when there is none to reach; why not does not
// matter to the user.
ConnectionPtr SystemBus() {
    ConnectionPtr shared(g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr));
    if (!shared) return nullptr;
    // GLib's shared bus connection ends the whole process when the bus goes
    // away; losing the power service must only grey out a menu item. This is
    // set before the window's loop runs again, which is where GLib would act
    // on a lost bus.
    g_dbus_connection_set_exit_on_close(shared.get(), FALSE);
    if (!g_dbus_connection_is_closed(shared.get())) return shared;

    // A shared connection that lost its bus stays closed for as long as
    // anything in the process still holds it; a connection of our own for
    // this call reaches a bus that has since come back.
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr);
    if (address == nullptr) return nullptr;
    ConnectionPtr own(g_dbus_connection_new_for_address_sync(
        address,
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr));
    g_free(address);
    return own;
}

// Errors that say nothing about the request itself, only that nobody
// answered it.
bool Unreachable(const GError* error) {
    return g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CLOSED) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_DISCONNECTED) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_OBJECT) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_INTERFACE);
}

bool TimedOut(const GError* error) {
    return g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_TIMEOUT) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_TIMED_OUT) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NO_REPLY);
}

// The refusal as a person would say it: without the D-Bus error name that
// GLib puts in front of a remote error ("GDBus.Error:org.freedesktop...: "),
// and without a closing full stop, as the program's other reasons are.
std::string Readable(GError* error) {
    if (Unreachable(error)) return Tr(kUnreachable);
    if (TimedOut(error)) return Tr("The system's power service did not answer in time");
    g_dbus_error_strip_remote_error(error);
    std::string text = error->message != nullptr ? error->message : "";
    while (!text.empty() && (text.back() == '.' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (text.empty()) return Tr("The system refused without saying why");
    return text;
}

// Calls one of logind's manager methods and gives its reply, or why there is
// none in words for the user. Takes `arguments` when it is floating, as GLib
// does.
Expected<VariantPtr> CallLogind(const char* method, GVariant* arguments,
                                const GVariantType* replyType, GDBusCallFlags flags,
                                int timeoutMs = kCallTimeoutMs) {
    ConnectionPtr bus = SystemBus();
    if (!bus) {
        // GLib does not take a floating value it was never given.
        if (arguments != nullptr) g_variant_unref(g_variant_ref_sink(arguments));
        return Fail(Tr(kUnreachable));
    }
    GError* failure = nullptr;
    VariantPtr reply(g_dbus_connection_call_sync(bus.get(), kLogind, kLogindObject, kLogindManager,
                                                 method, arguments, replyType, flags,
                                                 timeoutMs, nullptr, &failure));
    if (!reply) {
        const ErrorPtr error(failure);
        return Fail(Readable(error.get()));
    }
    return reply;
}

class LogindPower final : public SystemPower {
public:
    PowerPermission Permission(PowerAction action) override {
        const bool sleep = action == PowerAction::kSleep;
        // Any failure to answer, whatever its cause, leaves the action off.
        const Expected<VariantPtr> reply =
            CallLogind(sleep ? "CanSuspend" : "CanPowerOff", nullptr, G_VARIANT_TYPE("(s)"),
                       G_DBUS_CALL_FLAGS_NONE);
        if (!reply) return {false, Tr(kUnreachable)};
        const gchar* answer = nullptr;
        g_variant_get(reply->get(), "(&s)", &answer);
        const std::string_view said = answer;
        // "challenge": allowed once the user gives a password, which the
        // system asks for itself when the request comes.
        if (said == "yes" || said == "challenge") return {true, {}};
        if (said == "no") {
            return {false, sleep ? Tr("The system does not allow this user to sleep the computer")
                                 : Tr("The system does not allow this user to shut down the computer")};
        }
        if (said == "na") {
            return {false, sleep ? Tr("This computer cannot sleep")
                                 : Tr("This computer cannot be shut down by this program")};
        }
        return {false, Tr("The system's power service gave an answer this program does not know")};
    }

    Expected<void> Request(PowerAction action) override {
        const bool sleep = action == PowerAction::kSleep;
        // Interactive: where the user must prove who they are, the system
        // asks for the password rather than refusing outright.
        const Expected<VariantPtr> reply =
            CallLogind(sleep ? "Suspend" : "PowerOff", g_variant_new("(b)", TRUE), nullptr,
                       G_DBUS_CALL_FLAGS_ALLOW_INTERACTIVE_AUTHORIZATION, kRequestTimeoutMs);
        if (!reply) return Fail(reply.reason());
        return {};
    }
};

}  // namespace

std::unique_ptr<SystemPower> MakeSystemPower() { return std::make_unique<LogindPower>(); }

}  // namespace vantrel
