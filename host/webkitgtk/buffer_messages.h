#pragma once

// The messages between the host and its web-process extension for the exchange
// buffer, shared by both sides. Texts travel as raw UTF-8 bytes ("ay").
//   "read"   no parameters    reply named by its status letter; "ay", the value's
//                             bytes, when the status is kDone
//   "write"  "ay", the text   reply named by its status letter, no parameters
// The status is the reply's name rather than a tuple member: a tuple would make the
// engine serialize the text into a new buffer once more before sending it.
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

// The bytes of a "read" reply or a "write" request, or null when the parameters are
// not bytes. Transfer full.
inline GBytes* BytesOf(GVariant* parameters) {
    if (parameters == nullptr || !g_variant_is_of_type(parameters, G_VARIANT_TYPE_BYTESTRING)) {
        return nullptr;
    }
    return g_variant_get_data_as_bytes(parameters);
}

// The status letter a reply's name carries; kFailed for any other name.
inline char StatusOfReplyName(const char* name) {
    if (name == nullptr || name[0] == '\0' || name[1] != '\0') {
        return kFailed;
    }
    switch (name[0]) {
        case kDone:
        case kNoDocument:
        case kNoElement:
        case kNotTextArea:
            return name[0];
        default:
            return kFailed;
    }
}

}  // namespace praxora::buffer_messages
