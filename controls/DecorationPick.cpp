#include "controls/DecorationPick.h"

#include <cstdlib>

int PickPictureIndex(int& index, size_t count)
{
    if (count == 0)
        return -1;
    if (index < 0 || index >= (int)count)
        index = rand() % (int)count;
    return index;
}

CString PicturePath(const ImageSet& set, int index, const wchar_t* sub)
{
    if (index < 0 || index >= (int)set.vecFiles.size())
        return CString();
    CString path;
    path.Format(L"%s%s\\%s", set.strFolder.GetString(), sub ? sub : L"",
                set.vecFiles[(size_t)index].GetString());
    return path;
}
