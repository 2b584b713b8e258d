#include "editor/app/settings/HotkeyPresets.h"

namespace
{

HotkeyInfo Key(WORD virtualKey, WORD modifiers, bool twice = false)
{
    HotkeyInfo info;
    info.virtualKey = virtualKey;
    info.modifiers = modifiers;
    info.flags = twice ? 1 : 0;
    return info;
}

constexpr UINT kFirstPresetCommand = 32000;

} // namespace

std::vector<HotkeyInfo> BuildHotkeyPresetList()
{
    std::vector<HotkeyInfo> list;
    const HotkeyInfo separator;
    list.push_back(Key(VK_SCROLL, 0));
    list.push_back(Key(VK_SCROLL, 0, true));
    list.push_back(separator);
    for (WORD digit = '0'; digit <= '9'; ++digit)
        list.push_back(Key(digit, MOD_CONTROL));
    list.push_back(separator);
    list.push_back(Key(VK_PAUSE, 0));
    list.push_back(Key(VK_PAUSE, 0, true));
    list.push_back(separator);
    for (WORD mods :
         {WORD(MOD_CONTROL), WORD(MOD_ALT | MOD_CONTROL), WORD(MOD_SHIFT), WORD(MOD_ALT | MOD_SHIFT)}) {
        list.push_back(Key(VK_SPACE, mods));
        list.push_back(Key(VK_SPACE, mods, true));
    }
    return list;
}

void AddUserHotkey(std::vector<HotkeyInfo>& userKeys, const HotkeyInfo& key)
{
    if (key.virtualKey == 0)
        return;
    for (const HotkeyInfo& existing : userKeys)
        if (existing.SameKey(key))
            return;
    userKeys.push_back(key);
}

std::vector<HotkeyMenuRow> BuildHotkeyMenuRows(const std::vector<HotkeyInfo>& presets,
                                               const std::vector<HotkeyInfo>& userKeys,
                                               const HotkeyInfo& current)
{
    std::vector<HotkeyInfo> all = presets;
    if (!userKeys.empty()) {
        all.push_back(HotkeyInfo());
        all.insert(all.end(), userKeys.begin(), userKeys.end());
    }
    std::vector<HotkeyMenuRow> rows;
    for (size_t i = 0; i < all.size(); ++i) {
        HotkeyMenuRow row;
        row.key = all[i];
        row.separator = all[i].virtualKey == 0;
        if (!row.separator) {
            row.commandId = kFirstPresetCommand + static_cast<UINT>(i);
            row.checked = all[i].SameKey(current);
            row.text = HotkeyInfoToText(all[i]);
        }
        rows.push_back(row);
    }
    while (!rows.empty() && rows.back().separator)
        rows.pop_back();
    return rows;
}

const std::vector<HotkeyInfo>& GetHotkeyPresets()
{
    static const std::vector<HotkeyInfo> presets = BuildHotkeyPresetList();
    return presets;
}

std::vector<HotkeyInfo>& GetUserHotkeys()
{
    static std::vector<HotkeyInfo> keys;
    return keys;
}
