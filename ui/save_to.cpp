// "Save to": beside each movie, a folder the user chose, or a memory card
// plugged in now; the cards come and go as they are plugged in and pulled.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "conversion/target_room.h"
#include "platform/program_folder.h"
#include "platform/translation.h"
#include "platform/utf8_path.h"
#include "ui/control_ids.h"
#include "ui/converter_dialog.h"
#include "ui/status_line.h"

namespace vantrel {
namespace {

// TRANSLATORS: a choice of "Save to": each converted file goes into the folder of the movie it was made from.
constexpr const char* kBesideEachMovie = TextToTranslate("Beside each movie");
// TRANSLATORS: a choice of "Save to": opens the folder chooser.
constexpr const char* kChooseAFolder = TextToTranslate("Choose a folder…");
// The values of "save-to".
constexpr std::string_view kBeside = "beside";
constexpr std::string_view kSaveToFolder = "folder";
constexpr std::string_view kSaveToCard = "card";
constexpr std::string_view kSaveToFolderKey = "save-to-folder";
constexpr std::string_view kSaveToCardKey = "save-to-card";
// Followed by a card's name: the folder on it the files go to.
constexpr std::string_view kCardFolderKey = "card-folder-";

// A card as the settings know it from one plugging in to the next, by its
// label and serial, in letters any settings file keeps.
std::string CardName(const RemovableCard& card) {
    std::string name = card.serial + "-" + card.label;
    for (char& c : name) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
        if (!plain) c = '_';
    }
    return name;
}

const RemovableCard* CardNamed(const std::vector<RemovableCard>& cards, const std::string& name) {
    const auto card = std::find_if(cards.begin(), cards.end(),
                                   [&](const RemovableCard& c) { return CardName(c) == name; });
    return card == cards.end() ? nullptr : &*card;
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(PathFromUtf8(path), error);
}

// `path` below `folder`, as a relative path; empty for the folder itself.
std::string Below(const std::string& folder, const std::string& path) {
    std::string rest = path.substr(std::min(folder.size(), path.size()));
    while (!rest.empty() && (rest.front() == '/' || rest.front() == '\\')) rest.erase(0, 1);
    return rest;
}

}  // namespace

void ConverterDialog::RememberedSaveTo() {
    m_cards = ListRemovableCards();
    m_chosenFolder = Remembered(kSaveToFolderKey);
    const std::string saveTo = Remembered(kSaveToKey);
    m_saveTo.clear();
    m_saveToCard.clear();
    if (saveTo == kSaveToFolder) {
        m_saveTo = m_chosenFolder;
    } else if (saveTo == kSaveToCard) {
        // A card not plugged in at the start leaves the files beside their movies.
        if (const RemovableCard* card = CardNamed(m_cards, Remembered(kSaveToCardKey))) {
            m_saveToCard = CardName(*card);
            m_saveTo = FolderOnCard(*card);
        }
    }
}

// The card's folder, or the folder on it chosen last, if it is still there.
std::string ConverterDialog::FolderOnCard(const RemovableCard& card) const {
    const std::string below = Remembered(std::string(kCardFolderKey) + CardName(card));
    if (below.empty()) return card.folder;
    const std::string folder = JoinPath(card.folder, below);
    return IsFolder(folder) ? folder : card.folder;
}

// The choices, in their order: beside each movie, the folder chosen last if
// any, each card plugged in, and a new folder. Rows already converting keep
// where they write.
void ConverterDialog::OnSaveTo(int choice) {
    if (m_closed || choice < 0) return;
    const int firstCard = m_chosenFolder.empty() ? 1 : 2;
    const int chooseAt = firstCard + static_cast<int>(m_cards.size());
    if (choice == 0) {
        m_saveTo.clear();
        m_saveToCard.clear();
    } else if (choice < firstCard) {
        m_saveTo = m_chosenFolder;
        m_saveToCard.clear();
    } else if (choice < chooseAt) {
        const RemovableCard& card = m_cards[static_cast<size_t>(choice - firstCard)];
        m_saveToCard = CardName(card);
        m_saveTo = FolderOnCard(card);
    } else if (choice == chooseAt) {
        const std::string start = m_saveTo.empty() ? (m_chosenFolder.empty() ? m_folder : m_chosenFolder) : m_saveTo;
        const std::optional<std::string> folder = m_window.ChooseFolder(start);
        if (folder && !folder->empty()) {
            m_saveTo = *folder;
            // A folder on a card is that card's, remembered for it; the
            // card's choice then leads there.
            if (const std::optional<RemovableCard> card = CardHolding(*folder, m_cards)) {
                m_saveToCard = CardName(*card);
                Remember(std::string(kCardFolderKey) + m_saveToCard, Below(card->folder, *folder));
            } else {
                m_saveToCard.clear();
                m_chosenFolder = *folder;
                Remember(kSaveToFolderKey, m_chosenFolder);
            }
        }
    }
    Remember(kSaveToKey, !m_saveToCard.empty() ? kSaveToCard : m_saveTo.empty() ? kBeside : kSaveToFolder);
    if (!m_saveToCard.empty()) Remember(kSaveToCardKey, m_saveToCard);
    ShowSaveToChoices();
    if (!m_converting) ShowIdleStatus();
}

void ConverterDialog::ShowSaveToChoices() {
    std::vector<std::string> choices{Tr(kBesideEachMovie)};
    int selected = 0;
    if (!m_chosenFolder.empty()) {
        choices.push_back(m_chosenFolder);
        if (m_saveToCard.empty() && !m_saveTo.empty()) selected = 1;
    }
    for (const RemovableCard& card : m_cards) {
        const bool chosen = CardName(card) == m_saveToCard;
        if (chosen) selected = static_cast<int>(choices.size());
        std::string text = card.label;
        if (const std::string below = chosen ? Below(card.folder, m_saveTo) : ""; !below.empty()) {
            text += "/" + below;
        }
        if (card.freeBytes) {
            // TRANSLATORS: a choice of "Save to"; {1} is a memory card's name, or a folder on it such as
            // "CARD/Movies"; {2} the room left on it, such as 1.2 GB.
            text = Fill(Tr("{1}: {2} free"), {text, SizeText(static_cast<double>(*card.freeBytes))});
        }
        choices.push_back(text);
    }
    choices.push_back(Tr(kChooseAFolder));
    m_window.SetChoices(kIdSaveTo, choices, selected);
}

void ConverterDialog::WatchCards() {
    m_cardWatcher = std::make_unique<CardChangeWatcher>([this] {
        // Listed on the watcher's thread: a slow card never holds up the window.
        m_window.RunOnUiThread([this, cards = ListRemovableCards()] { OnCardsChanged(cards); });
    });
}

// A card pulled takes its choice with it. The rows of a running list that
// were to go onto it are skipped, and what is added later goes beside each
// movie; a card put back in at the next start is chosen again.
void ConverterDialog::OnCardsChanged(const std::vector<RemovableCard>& cards) {
    if (m_closed) return;
    // A copy: the list it was in is replaced.
    const RemovableCard* chosen = CardNamed(m_cards, m_saveToCard);
    const std::optional<RemovableCard> before = chosen ? std::optional(*chosen) : std::nullopt;
    m_cards = cards;
    if (!m_saveToCard.empty()) {
        if (const RemovableCard* card = CardNamed(m_cards, m_saveToCard)) {
            // Mounted again elsewhere: the files follow it.
            if (before && card->folder != before->folder) m_saveTo = FolderOnCard(*card);
        } else {
            for (SourceRow& row : m_rows) {
                if (m_converting && row.inRun && row.Runnable()) {
                    // TRANSLATORS: why a file was not converted; {1} is a memory card's name.
                    Skip(row, Fill(Tr("The card {1} was taken out"), {before ? before->label : std::string()}));
                }
            }
            m_saveToCard.clear();
            m_saveTo.clear();
        }
    }
    ShowSaveToChoices();
    if (m_converting) {
        StartDueWork();
    } else {
        ShowIdleStatus();
    }
    ShowButtons();
}

// Each card's free space, as conversions fill it.
void ConverterDialog::RefreshCardSpace() {
    if (m_cards.empty()) return;
    for (RemovableCard& card : m_cards) card.freeBytes = m_setup.freeSpace->FreeBytes(card.folder);
    ShowSaveToChoices();
}

// While nothing converts, the status line tells the size to expect of what
// waits, and, when it goes onto a card, the card's free space beside it.
void ConverterDialog::ShowIdleStatus() {
    double bytes = 0;
    for (const SourceRow& row : m_rows) {
        if (const std::optional<double> seconds = row.PartSeconds(); seconds && row.Runnable()) {
            bytes += ExpectedBytes(m_videoKilobits, *seconds);
        }
    }
    std::string status = bytes > 0 ? ExpectedSizeStatus(bytes) : "";
    const RemovableCard* card = CardNamed(m_cards, m_saveToCard);
    if (!status.empty() && card != nullptr && card->freeBytes) {
        // TRANSLATORS: {1} is the size to expect of the files, as in "Expected size: 2.0 MB"; {2} a memory
        // card's name; {3} the room left on it, such as 1.2 GB.
        status = Fill(Tr("{1}; {2} has {3} free"),
                      {status, card->label, SizeText(static_cast<double>(*card->freeBytes))});
    }
    m_window.SetControlText(kIdStatus, status);
}

// The card the list's converted files went onto, if they all went onto one.
std::optional<std::string> ConverterDialog::CardOfTheRun() const {
    std::optional<std::string> label;
    for (const SourceRow& row : m_rows) {
        if (!row.inRun || row.state != RowState::kConverted) continue;
        const std::optional<RemovableCard> card = CardHolding(row.target, m_cards);
        if (!card || (label && *label != card->label)) return std::nullopt;
        label = card->label;
    }
    return label;
}

}  // namespace vantrel
