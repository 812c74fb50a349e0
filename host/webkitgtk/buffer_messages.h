#pragma once

// The messages between the host and its web-process extension for the exchange
// buffer, shared by both sides. Texts travel as raw UTF-8 bytes ("ay").
//   "read"  no parameters          reply "(yay)": status letter, the value's bytes
//   "write" "ay": the text         reply "y": status letter
#include <glib.h>

namespace praxora::buffer_messages {

constexpr const char* kReadMessage = "read";
constexpr const char* kWriteMessage = "write";

// The isolated script world the host reaches the buffer from.
constexpr const char* kScriptWorldName = "praxora";

// Status letters of a reply.
constexpr char kDone = 'D';
constexpr char kNoDocument = 'X';
constexpr char kNoElement = 'N';
constexpr char kNotTextArea = 'T';
constexpr char kFailed = 'F';

// A floating "(yay)" variant; text may be null for no bytes. Takes no copy.
inline GVariant* ReadReplyVariant(char status, GBytes* text) {
    GVariant* bytes = text != nullptr
                          ? g_variant_new_from_bytes(G_VARIANT_TYPE_BYTESTRING, text, TRUE)
                          : g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, nullptr, 0, 1);
    GVariant* children[] = {g_variant_new_byte(static_cast<guchar>(status)), bytes};
    return g_variant_new_tuple(children, 2);
}

inline GVariant* WriteReplyVariant(char status) {
    return g_variant_new_byte(static_cast<guchar>(status));
}

// The text of a write's parameters, or null when they are not bytes. Transfer full.
inline GBytes* TextOfWrite(GVariant* parameters) {
    if (parameters == nullptr || !g_variant_is_of_type(parameters, G_VARIANT_TYPE_BYTESTRING)) {
        return nullptr;
    }
    return g_variant_get_data_as_bytes(parameters);
}

// The status letter of a reply; kFailed when the reply has not the expected form.
inline char StatusOfReply(GVariant* reply, const GVariantType* type) {
    if (reply == nullptr || !g_variant_is_of_type(reply, type)) {
        return kFailed;
    }
    GVariant* status = g_variant_is_of_type(reply, G_VARIANT_TYPE_BYTE)
                           ? g_variant_ref(reply)
                           : g_variant_get_child_value(reply, 0);
    const char letter = static_cast<char>(g_variant_get_byte(status));
    g_variant_unref(status);
    return letter;
}

}  // namespace praxora::buffer_messages
