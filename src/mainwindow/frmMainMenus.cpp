// The main window's menus: every command key with its caption, icon and the
// edition flag that offers it, and the pictures the menus and toolbars share.
#include "mainwindow/frmMain.h"

#include "controls/ui/cContextMenu.h"
#include "controls/ui/cImageList.h"
#include "core/mdlModes.h"
#include "lists/ListImages.h"
#include "settings/OptionSettings.h"

#include <QFont>

namespace {

struct MenuRow {
    const char *caption;
    const char *key;
    int icon;
    // The row exists only when this holds; null means always.
    bool (*offered)();
};

bool is(qint32 flag) { return flag == 1; }
bool converters() { return is(g_lAppIncConverter) || is(g_lAppIncACMConverter); }
bool converter() { return is(g_lAppIncConverter); }
bool acmConverter() { return is(g_lAppIncACMConverter); }
bool joinOrSplit() { return is(g_lAppIncJoin) || is(g_lAppIncSplit); }
bool joiner() { return is(g_lAppIncJoin); }
bool splitter() { return is(g_lAppIncSplit); }
bool editorOrRecorder() { return is(g_lAppIncEditor) || is(g_lAppIncMicRec); }
bool editor() { return is(g_lAppIncEditor); }
bool recorder() { return is(g_lAppIncMicRec); }
bool cdTools() { return is(g_lAppIncAudioBurner) || is(g_lAppIncCDRipper); }
bool audioBurner() { return is(g_lAppIncAudioBurner); }
bool ripper() { return is(g_lAppIncCDRipper); }
bool dataBurners() { return is(g_lAppIncMP3Burner) || is(g_lAppIncWMABurner); }
bool mp3Burner() { return is(g_lAppIncMP3Burner); }
bool wmaBurner() { return is(g_lAppIncWMABurner); }
bool tagsEditor() { return is(g_lAppIncTagsEditor); }
bool speech() { return is(g_lAppIncTTS); }

struct Holder {
    const char *caption;
    const char *key;
    std::initializer_list<MenuRow> rows;
    // Hidden once its rows are in; holders are never shown themselves.
    bool hidden;
};

const char *const kSep = "-";

// Three captions end in blanks that widen their menus; they are kept as they are.
const std::initializer_list<Holder> &holders()
{
    static const std::initializer_list<Holder> table = {
        {"File", "mnuFileTop", {{"Remove", "Remove", 4, nullptr}, {kSep, "mnuFile(4)", -1, nullptr}, {"Exit", "Exit", -1, nullptr}}, false},
        {"Edit", "mnuEditTop", {}, false},
        {"Tools", "Tools",
         {{kSep, "mnuFile(4)", -1, converters},
          {"Audio Converter", "Audio Converter", 60, converter},
          {"ACM Converter", "ACM Converter", 61, acmConverter},
          {kSep, "mnuFile(4)", -1, joinOrSplit},
          {"Audio Joiner", "Audio Joiner", 64, joiner},
          {"Audio Splitter", "Audio Splitter", 63, splitter},
          {kSep, "mnuFile(4)", -1, editorOrRecorder},
          {"Audio Analyser", "Audio Analyser", 62, editor},
          {"Audio Recorder", "Audio Recorder", 70, recorder},
          {kSep, "mnuFile(4)", -1, cdTools},
          {"Audio CD Maker", "Audio CD Maker", 73, audioBurner},
          {"Audio CD Ripper", "Audio CD Ripper", 25, ripper},
          {kSep, "mnuFile(4)", -1, dataBurners},
          {"MP3 CD Maker", "MP3 CD Maker", 72, mp3Burner},
          {"WMA CD Maker", "WMA CD Maker", 72, wmaBurner},
          {kSep, "mnuFile(4)", -1, nullptr},
          {"MP3 Tags Editor", "MP3 Tags Editor", 6, tagsEditor},
          {kSep, "mnuFile(4)", -1, nullptr},
          {"Text To Speech", "Text To Speech", 82, speech},
          {kSep, "mnuFile(4)", -1, speech},
          {"Master Volume", "Master Volume", 79, nullptr},
          {kSep, "mnuFile(4)", -1, nullptr},
          {"Notes", "Notes", 8, nullptr}},
         false},
        {"Options", "mnuOptionsTop", {}, false},
        {"Mode", "Mode",
         {{"Transparent", "Transparent", 11, nullptr},
          {"On Top", "On Top", 53, nullptr},
          {kSep, "mnuFile(4)", -1, nullptr},
          {"Minimize", "Minimize", 76, nullptr},
          {"Go to SysTray", "GoSysTray", 77, nullptr},
          {kSep, "mnuFile(4)", -1, nullptr},
          {"Exit", "Exit", 78, nullptr}},
         false},
        {"Options", "Options",
         {{"General                     ", "General", 9, nullptr},
          {kSep, "Options Line1", -1, nullptr},
          {"Events", "Events", 10, nullptr},
          {"View", "View", 11, nullptr},
          {kSep, "Options Line2", -1, nullptr},
          {"ID3 Tags", "ID3 Tags", 18, nullptr},
          {kSep, "Options Line2", -1, nullptr},
          {"Advanced", "Advanced", 59, nullptr}},
         true},
        {"Help", "Help",
         {{"Help Topics     ", "HelpTopic", 12, nullptr},
          {"Support", "Support", -1, nullptr},
          {kSep, "mnuFile(4)", -1, nullptr},
          {"About", "About", 22, nullptr}},
         true},
        {"mnuSysTry", "mnuSysTry",
         {{"Exit                      ", "RC Exit", 27, nullptr}, {kSep, "st1", -1, nullptr}, {"Hide", "RC Open", -1, nullptr}},
         true},
        {"Player", "Player", {{"System Player", "Open Default Player", 38, nullptr}}, true},
        {"mnuProjects", "mnuProjects",
         {{"New Items List", "New Items List", 48, nullptr},
          {"Rename Items List", "Rename Items List", 49, nullptr},
          {"Remove Items List", "Remove Items List", 50, nullptr},
          {kSep, "st4", -1, nullptr},
          {"Items List Properties", "Items List Properties", 51, nullptr},
          {"Open Destination Folder", "Open Destination Folder", 4, nullptr}},
         true},
        {"mnuFilesList", "mnuFilesList",
         {{"Mark/Unmark All", "MarkUnmark All", 74, nullptr},
          {kSep, "st1", -1, nullptr},
          {"Move Up", "Move Up", 0, nullptr},
          {"Move Down", "Move Down", 1, nullptr},
          {kSep, "st1", -1, nullptr},
          {"Move To First", "Move To First", 80, nullptr},
          {"Move To Last", "Move To Last", 81, nullptr},
          {kSep, "st1", -1, nullptr},
          {"Edit", "Rename Item", 32, nullptr},
          {"Save As...", "Save As", 5, nullptr},
          {kSep, "st1", -1, nullptr},
          {"Audio Analyser", "Audio Analyser", 62, editor},
          {kSep, "st1", -1, editor},
          {"Remove Item", "Remove Item", 3, nullptr},
          {kSep, "ClearLine", -1, nullptr},
          {"Remove All", "Clear the List", 27, nullptr},
          {kSep, "st1", -1, ripper},
          {"FreeDB", "FreeDB", 22, ripper}},
         true},
        {"mnuAdd", "mnuAdd",
         {{"Add Files", "Add Files", 39, nullptr}, {kSep, "st1", -1, nullptr}, {"Add Directories", "Add Directories", 4, nullptr}},
         false},
    };
    return table;
}

} // namespace

void frmMain::BuildMenus()
{
    QFont font;
    font.setFamily(QStringLiteral("Tahoma"));
    m_cMenu = std::make_unique<cContextMenu>();
    m_cMenu->setOwnerWindow(this);
    m_cMenu->setXPStyle(false);
    m_cMenu->setFont(font);
    m_cMenu->setXPStyle(g_bMenuXPStyle);
    m_cMenu->setImageList(ListImages::menuIcons(*imgMenu));

    for (const Holder &holder : holders()) {
        const qint32 parent = m_cMenu->AddItem(QString::fromLatin1(holder.caption), QString(), 0, 0, -1, false, true,
                                               QString::fromLatin1(holder.key));
        for (const MenuRow &row : holder.rows) {
            if (row.offered && !row.offered())
                continue;
            m_cMenu->AddItem(QString::fromLatin1(row.caption), QString(), 0, parent, row.icon, false, true,
                             QString::fromLatin1(row.key));
        }
        if (holder.hidden)
            m_cMenu->setItemVisible(m_cMenu->IndexForKey(QString::fromLatin1(holder.key)), false);
    }
    m_cMenu->Refresh(true);
    connect(m_cMenu.get(), &cContextMenu::Click, this, &frmMain::m_cMenu_Click);
}
