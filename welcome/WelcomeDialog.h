#pragma once
// The welcome window (dialog 129, modeless): the welcome page in the HTML
// view with the current hot key, the language list that switches the
// language of all programs, and links. The page's links start the editor or
// the main program with a switch, open files of the program's HTML folder,
// and web and mail addresses; nothing else is opened.

#include "platform/CDialogImpl.h"
#include "welcome/ScrivolanterWelcomeRes.h"

#include <functional>
#include <vector>

struct HtmlViewElement;

// What the welcome window starts; tests replace it. Returns the shell's
// result (greater than 32 on success).
using WelcomeLauncher = std::function<INT_PTR(HWND owner, const CString& file, const CString& parameters)>;

class CWelcomeDialog : public CDialogImpl<CWelcomeDialog>
{
public:
    enum
    {
        IDD = IDD_SCV_WELCOME
    };
    static constexpr UINT kBringToFrontMessage = WM_APP + 1;
    static constexpr UINT kBlinkMessage = WM_APP + 2;
    static constexpr UINT kAutoTimer = 1232;
    static constexpr UINT kAutoDelayMs = 2000;

    CWelcomeDialog(bool autoFlag, HANDLE instanceEvent, WelcomeLauncher launcher = nullptr);

    HWND HtmlView() const { return m_view; }
    // The page file in use, empty for the built-in page.
    const CString& PageFile() const { return m_pageFile; }
    // Runs a link of the page as a click would; true when something was started or opened.
    bool RunLink(const CString& href);
    // A click on a link of the page: pulses "Local\Scrivolanter_FloatPaneBlink" for the first link that
    // names the floating pane, then runs it; true when the window ran it (false leaves it to the view).
    bool OnLinkClicked(const CString& href, bool namesFloatPane);
    // The attribute that marks a link of the page as one about the floating pane.
    static constexpr const char* kFloatPaneLinkAttribute = "floatpane";

    BEGIN_MSG_MAP(CWelcomeDialog)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnColorStatic)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(kBringToFrontMessage, OnBringToFront)
    MESSAGE_HANDLER(kBlinkMessage, OnBlink)
    COMMAND_ID_HANDLER(IDOK, OnClose)
    COMMAND_ID_HANDLER(IDCANCEL, OnClose)
    COMMAND_HANDLER(IDC_WELCOME_LANGUAGE, CBN_SELENDOK, OnLanguageChosen)
    COMMAND_RANGE_HANDLER(IDC_WELCOME_HOME, IDC_WELCOME_VKONTAKTE, OnWebLink)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnBringToFront(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnBlink(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&);
    LRESULT OnLanguageChosen(WORD, WORD, HWND, BOOL&);
    LRESULT OnWebLink(WORD, WORD id, HWND, BOOL&);

    static BOOL CALLBACK OnPageEvent(LPVOID tag, HtmlViewElement* he, UINT group, LPVOID params);
    static LRESULT CALLBACK OnViewNotify(UINT code, LPVOID notification, LPVOID param);
    void StartEventWatcher();
    void CreateView();
    void FillLanguages();
    void Translate();
    void LoadPage();
    void DragWindow();
    CString LanguageFilePath() const;

    bool m_auto;
    HANDLE m_instanceEvent;
    WelcomeLauncher m_launch;
    HWND m_view = nullptr;
    bool m_highlight = false;
    std::vector<CString> m_languages;
    CString m_pageFile;
    bool m_floatPaneBlinked = false;
};

// The HTML folder: program folder + "HTML\".
CString GetWelcomeHtmlFolder();
