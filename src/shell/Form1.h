#pragma once

#include "catalogue/RowCaptions.h"
#include "catalogue/StoredAddresses.h"
#include "platform/FileListControl.h"
#include "platform/LabelControl.h"
#include "platform/LineControl.h"
#include "platform/ListBoxControl.h"
#include "platform/MediaPlayerControl.h"
#include "platform/OptionButtonControl.h"
#include "platform/PictureBoxControl.h"
#include "platform/ScrollBarControl.h"
#include "platform/TextBoxControl.h"
#include "platform/TimerControl.h"

#include <QAction>
#include <QGroupBox>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>

#include <array>
#include <optional>

class CFileDownload;
class Form8;

// The main window. Its state lives in its controls: the selected option is
// the view, V1's value is the page offset, the hidden lists hold the
// entries. The handlers are spread over the subsystems that own them.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kRows = 8;
    static inline const QString kDesignCaption = QStringLiteral("Kardelo V2.01");
    static inline const QString kFavouritesFolderName = QStringLiteral("我的收藏");

    // programFolder is the folder the favourites folder lies in: the
    // program's own in a real run.
    explicit Form1(const StoredAddresses& addresses, const QString& programFolder, QWidget* parent = nullptr);
    ~Form1() override;

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }

    // The load step; false when the program has been ended because no
    // catalogue could be read.
    bool Form_Load();
    void Form_Unload();

    // Pages and scrolling.
    void ShowCataloguePage();
    void ShowLecturePage();
    void V1_Change();
    void V1_Scroll();

    // View switching, favourites and search.
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void FillFavourites(const std::optional<QString>& filter = std::nullopt);
    void ShowFavouriteRow(int i, const QString& name);
    void Timer2_Timer();
    void Text1_Change();
    void Label11_MouseDown(int index, int button, int shift, double x, double y);
    void Label11_MouseUp(int index, int button, int shift, double x, double y);

    // The row action button: enter a conference, download or cancel a
    // lecture, play a stored one.
    void Label10_MouseDown(int index, int button, int shift, double x, double y);
    void Label10_MouseUp(int index, int button, int shift, double x, double y);
    void EnterConference(int i);
    void DownloadOrCancel(int i);
    void PlayFavourite(int i);
    void oDownload_OnProgress(qint64 lProgress, qint64 lMaxProgress, qint32 lSpeed, qint32 lStatusCode,
                              const QString& sStatusText);

    // Web links, the About window and the way out.
    void Command1_Click();
    void 退出_Click();
    void 版本信息_Click();
    void 操作说明_Click();
    void 访问作者主页_Click();

    QString FavouritesFolder() const;

    // Side panel, advertisement and phone-edition button.
    platform::PictureBoxControl* Picture2 = nullptr;
    platform::LabelControl* Label7 = nullptr;
    platform::LabelControl* Label6 = nullptr;
    platform::LabelControl* Label5 = nullptr;
    platform::LabelControl* Label8 = nullptr;
    platform::PictureBoxControl* Picture5 = nullptr;
    QPushButton* Command1 = nullptr;

    // Tool bar.
    QGroupBox* Frame1 = nullptr;
    platform::OptionButtonControl* Option3 = nullptr;
    platform::OptionButtonControl* Option1 = nullptr;
    platform::OptionButtonControl* Option2 = nullptr;
    platform::LabelControl* Label4 = nullptr;
    platform::TextBoxControl* Text1 = nullptr;

    // List panel with its eight rows.
    platform::PictureBoxControl* Picture1 = nullptr;
    platform::ScrollBarControl* V1 = nullptr;
    std::array<platform::PictureBoxControl*, kRows> Picture4{};
    std::array<QLabel*, kRows> Image1{};
    std::array<platform::LabelControl*, kRows> Label2{};
    std::array<platform::LabelControl*, kRows> Label3{};
    std::array<platform::LineControl*, kRows> Line1{};
    std::array<platform::LabelControl*, kRows> Label1{};
    std::array<platform::PictureBoxControl*, kRows> Picture9{};
    std::array<platform::LabelControl*, kRows> Label11{};
    std::array<platform::PictureBoxControl*, kRows> Picture6{};
    std::array<platform::LabelControl*, kRows> Label10{};

    // Player bar with the media player.
    platform::PictureBoxControl* Picture3 = nullptr;
    platform::MediaPlayerControl* M1 = nullptr;

    // Hidden helpers.
    platform::ListBoxControl List1;
    platform::ListBoxControl List2;
    platform::ListBoxControl List3;
    platform::FileListControl File1;
    platform::PictureBoxControl* Picture7 = nullptr;
    platform::PictureBoxControl* Picture8 = nullptr;
    platform::TimerControl* Timer2 = nullptr;

    // Menu.
    QMenu* 文件 = nullptr;
    QAction* 退出 = nullptr;
    QMenu* 帮助 = nullptr;
    QAction* 版本信息 = nullptr;
    QAction* 操作说明 = nullptr;
    QAction* 访问作者主页 = nullptr;

    QPointer<CFileDownload> oDownload;
    // The row whose percentage shows the running download.
    int iDownloadRow = 0;
    // The one About window, while it is open.
    QPointer<Form8> AboutWindow;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildSidePanel(QWidget* client);
    void BuildToolBar(QWidget* client);
    void BuildListPanel(QWidget* client);
    void BuildRow(int i);
    void BuildPlayerBar(QWidget* client);
    void BuildHiddenControls(QWidget* client);
    void BuildMenu();
    void ConnectHandlers();
    void ConnectWebLinks();
    void SetRowCaptions(int i, const RowCaptions& captions);
    void SetSearchBox(bool open, std::uint32_t captionColour);
    void ColourOptions(platform::OptionButtonControl* selected);
    void ResetRowButtons(const QString& caption, bool deleteShown);

public:
    const StoredAddresses& Addresses() const { return addresses_; }

private:
    StoredAddresses addresses_;
    QString programFolder_;
};
