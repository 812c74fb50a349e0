#pragma once

#include <array>
#include <optional>
#include <string>

namespace praxora {

// What the view can be asked to do. Menus, keys and command links all name one of these.
enum class Operation {
    NewRecord,
    OpenRecord,
    SaveRecord,  // argument: save as
    PrintPreview,
    Print,
    SaveSurgeonDefaults,
    ApplySurgeonDefaults,  // argument: announce with a toast
    FillTestData,
    ShowAboutBox,
    CloseWindow,
};

struct Command {
    Operation operation;
    bool argument = false;

    bool operator==(const Command& other) const {
        return operation == other.operation && argument == other.argument;
    }
};

// Menu command ids; the platform's standard values where one exists.
namespace command_ids {
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePrintPreview = 57609;
inline constexpr int kAppExit = 57665;
inline constexpr int kAppAboutBox = 32773;
inline constexpr int kFileSaveAsRecord = 32774;
inline constexpr int kToolsSaveDefaults = 32775;
inline constexpr int kToolsApplyDefaults = 32776;
inline constexpr int kToolsFillTestData = 32777;
}  // namespace command_ids

// One row per operation: the command word a page's link names it by and the menu id.
struct CommandBinding {
    const char* word;
    int menuId;
    Command command;
};

// In the order command words are matched.
inline constexpr std::array<CommandBinding, 11> kCommandTable{{
    {"new", command_ids::kFileNew, {Operation::NewRecord}},
    {"open", command_ids::kFileOpen, {Operation::OpenRecord}},
    {"save", command_ids::kFileSave, {Operation::SaveRecord, false}},
    {"save-as", command_ids::kFileSaveAsRecord, {Operation::SaveRecord, true}},
    {"preview", command_ids::kFilePrintPreview, {Operation::PrintPreview}},
    {"print", command_ids::kFilePrint, {Operation::Print}},
    {"defaults-save", command_ids::kToolsSaveDefaults, {Operation::SaveSurgeonDefaults}},
    {"defaults-apply", command_ids::kToolsApplyDefaults, {Operation::ApplySurgeonDefaults, true}},
    {"fake", command_ids::kToolsFillTestData, {Operation::FillTestData}},
    {"about", command_ids::kAppAboutBox, {Operation::ShowAboutBox}},
    {"exit", command_ids::kAppExit, {Operation::CloseWindow}},
}};

// The command a word names, matched whole after lowering A to Z only.
std::optional<Command> CommandForWord(const std::string& word);

// The command a menu item or accelerator names.
std::optional<Command> CommandForMenuId(int menuId);

}  // namespace praxora
