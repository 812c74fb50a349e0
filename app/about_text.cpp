#include "app/about_box.h"
#include "app/app_texts.h"
#include "host/message_format.h"

namespace praxora {

std::string AboutText() {
    return FormatMessageText(texts::kAboutFormat, {texts::kSoftwareVersion, texts::kFormEdition});
}

}  // namespace praxora
