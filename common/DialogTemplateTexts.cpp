#include "common/DialogTemplateTexts.h"

#include <cstring>

namespace
{

// A forward reader over the template's bytes that fails once it would pass the end.
class TemplateReader
{
public:
    TemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    bool Ok() const { return m_ok; }
    template <typename T>
    T Read()
    {
        T value{};
        if (!Need(sizeof(T)))
            return value;
        memcpy(&value, m_data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    void Skip(size_t bytes)
    {
        if (Need(bytes))
            m_pos += bytes;
    }
    void AlignTo(size_t boundary)
    {
        const size_t rest = m_pos % boundary;
        if (rest != 0)
            Skip(boundary - rest);
    }
    CString ReadString()
    {
        CString text;
        for (;;) {
            const wchar_t ch = Read<wchar_t>();
            if (!m_ok || ch == L'\0')
                return text;
            text.AppendChar(ch);
        }
    }
    // A name or an ordinal: 0 = none, 0xFFFF + ordinal, else a string.
    void ReadNameOrOrdinal(WORD& ordinal, CString& name)
    {
        ordinal = 0;
        name.Empty();
        const WORD first = Read<WORD>();
        if (!m_ok || first == 0)
            return;
        if (first == 0xFFFF) {
            ordinal = Read<WORD>();
            return;
        }
        name.AppendChar(static_cast<wchar_t>(first));
        name += ReadString();
    }

private:
    bool Need(size_t bytes)
    {
        if (m_ok && bytes <= m_size - m_pos)
            return true;
        m_ok = false;
        return false;
    }

    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

} // namespace

std::vector<DialogTemplateControl> ReadDialogTemplateControls(const BYTE* data, size_t size)
{
    std::vector<DialogTemplateControl> controls;
    if (!data)
        return controls;
    TemplateReader reader(data, size);
    const WORD version = reader.Read<WORD>();
    const WORD signature = reader.Read<WORD>();
    const bool extended = version == 1 && signature == 0xFFFF;
    DWORD style = 0;
    if (extended) {
        reader.Skip(sizeof(DWORD) * 2); // help id, extended style
        style = reader.Read<DWORD>();
    } else {
        style = MAKELONG(version, signature);
        reader.Skip(sizeof(DWORD)); // extended style
    }
    const WORD count = reader.Read<WORD>();
    reader.Skip(sizeof(short) * 4);
    WORD ordinal = 0;
    CString name;
    reader.ReadNameOrOrdinal(ordinal, name); // menu
    reader.ReadNameOrOrdinal(ordinal, name); // class
    reader.ReadString();                     // caption
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        reader.Skip(sizeof(WORD));
        if (extended)
            reader.Skip(sizeof(WORD) + 2); // weight, italic, character set
        reader.ReadString();
    }
    for (WORD index = 0; index < count && reader.Ok(); ++index) {
        reader.AlignTo(sizeof(DWORD));
        DialogTemplateControl control;
        if (extended) {
            reader.Skip(sizeof(DWORD) * 3 + sizeof(short) * 4); // help id, extended style, style, place
            control.id = static_cast<int>(reader.Read<DWORD>());
        } else {
            reader.Skip(sizeof(DWORD) * 2 + sizeof(short) * 4); // style, extended style, place
            control.id = reader.Read<WORD>();
        }
        reader.ReadNameOrOrdinal(control.classOrdinal, control.className);
        WORD textOrdinal = 0;
        reader.ReadNameOrOrdinal(textOrdinal, control.text);
        // Creation data: the extended template counts the bytes after the count, the classic one
        // counts the count itself too.
        const WORD extra = reader.Read<WORD>();
        reader.Skip(extended ? extra : (extra >= sizeof(WORD) ? extra - sizeof(WORD) : 0));
        if (reader.Ok())
            controls.push_back(control);
    }
    return controls;
}

bool IsUntranslatedControlClass(const CString& className)
{
    static const wchar_t* const classes[] = {L"msctls_updown32", L"Edit",        L"RichEdit",
                                             L"RichEdit20A",     L"RichEdit20W", L"RichEdit60A",
                                             L"RichEdit60W",     L"ComboBox"};
    for (const wchar_t* name : classes)
        if (className.CompareNoCase(name) == 0)
            return true;
    return false;
}

bool IsUntranslatedDialogControl(const DialogTemplateControl& control)
{
    switch (control.classOrdinal) {
    case 0x81: // edit
    case 0x83: // list box
    case 0x84: // scroll bar
    case 0x85: // combo box
        return true;
    default:
        return !control.className.IsEmpty() && IsUntranslatedControlClass(control.className);
    }
}
