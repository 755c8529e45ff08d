#include "app/DistributionPreset.h"

#include "app/DisplaySettings.h"
#include "app/PresetWriter.h"
#include "framework/FileUtil.h"
#include "view/PresetFile.h"

const wchar_t kShippedBackgroundSet[] = L"宣纸";
const wchar_t kShippedVerticalSet[] = L"竹节";
const wchar_t kShippedLineSet[] = L"回纹";

namespace {

// What a preset file without a key reads for it (see ReadPresetFile).
const int kReadTextSize = 22;

} // namespace

bool WriteDistributionPreset(const CString& programFolder)
{
    const DisplaySettingsBlock saved = DisplaySettings;
    const CString savedFolder = g_strAppFolder;
    g_strAppFolder = programFolder;
    const CString path = PresetFilePath();
    CreateFolderTree(programFolder + L"control");
    DeleteFileW(path);

    // What a first run leaves after the drawn sets were chosen in the colour
    // dialog: the decoration sizes of a fresh start (side bars on, both
    // line kinds redrawn by 换横线), so every decoration button shows its
    // work at once. The page's own strips stay off as a first run has them:
    // dialogs draw the same strips over their captions.
    DisplaySettingsBlock ds;
    ds.nWholeTB0 = ds.nWholeTB1 = ds.nWholeLR0 = ds.nWholeLR1 = 0;
    ds.bWholeLeft = ds.bWholeTop = ds.bWholeBottom = 0;
    ds.Index0 = 0;
    ds.Index1 = 1;
    ds.bComment = 1;
    ds.bSingle = 0;
    ds.nBiaozhu = 1;
    ds.BackgroundSet.strFolder = PresetFolder(kBackgroundParent, kShippedBackgroundSet);
    ds.VerticalSet.strFolder = PresetFolder(kVerticalParent, kShippedVerticalSet);
    ds.LineSet.strFolder = PresetFolder(kLineParent, kShippedLineSet);
    DisplaySettings = ds;
    ListBackgroundSet();        // Count: the pictures of the chosen set

    SavePreSetIni(path);
    // "默认": the default faces (a missing key would read as a face "0").
    WritePresetDialogKeys(path, kReadTextSize, 0, 0, L"默认", L"默认");
    const bool ok = FileExists(path) && DisplaySettings.Count > 0;

    DisplaySettings = saved;
    g_strAppFolder = savedFolder;
    return ok;
}
