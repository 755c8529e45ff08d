// The modeless book-pack window "zize": the packs the update list offers, a
// download with its progress, and the manual-download page.
#pragma once

#include <functional>

#include "controls/DrawDlg.h"
#include "controls/ListBoxST.h"
#include "controls/MyColorButton.h"
#include "download/DownloadWorker.h"
#include "download/WebUpdater.h"
#include "framework/ImageList.h"

class CCWebUpdatePrjDlg : public CDrawDlg, public IDownloadProgress {
public:
    explicit CCWebUpdatePrjDlg(CWnd* pParent = nullptr);
    virtual ~CCWebUpdatePrjDlg();

    CListBoxST m_listPacks;
    CWebUpdater m_update;
    CImageList m_imageList;
    CCallback* m_pCallback = nullptr;
    HICON m_hIcon = nullptr;
    CProgressCtrl m_progress;
    CMyColorButton m_btnCheck;
    CMyColorButton m_btnDownload;
    CMyColorButton m_btnClose;

    // Fetches the update list again (with an update host) and fills the rows.
    afx_msg void OnCheckUpdate();
    afx_msg void OnDownload();
    // During a download, on the thread that waits for it.
    void ShowProgress(const wchar_t* text, int percent) override;
    // A download or a fetch of the list is running from this window.
    bool IsBusy() const { return m_nBusy > 0; }
    // Called after a pack has arrived (the owner shows the library anew).
    std::function<void()> m_onPackArrived;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void PostNcDestroy();
    virtual void OnCancel();

    afx_msg void OnPaint();
    afx_msg LRESULT OnQueryDragIcon(WPARAM, LPARAM);

    // Buttons off while the window waits for the network; false when the
    // window was destroyed meanwhile (the object is gone then).
    void BeginBusy();
    bool EndBusy();

    int m_nBusy = 0;
    bool m_bDestroyed = false;
    CString m_strIdleCaption;   // the progress caption before any download

    DECLARE_MESSAGE_MAP()
};
