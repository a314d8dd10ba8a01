#pragma once
// The common ground of every record editor sheet: the frame (title, symbol, form,
// error line, Cancel and Save), the store the editor was given, and the steps each
// editor takes the same way.
//
// - store(copy) hands the copy to the injected store, which may tidy it and give it
//   its id; the store's refusal comes back as its user text (and is shown on the
//   frame by commit()).
// - closeAndAskDelete() closes the sheet first (unsaved edits are dropped), then asks;
//   only the confirmed answer deletes, through the same store, and a failure becomes
//   the app model's notice. Everything the question needs is copied before the sheet
//   closes: closing it may take the editor away.
// - KeptNumber is the rule for number boxes: a box whose text is still the one the
//   sheet opened with stands for the stored value exactly, never for the rounded
//   text it shows.
//
// After closeSheet() the host may delete the editor at any time: nothing touches it
// after that call.

#include "services/AppModel.h"
#include "store/OVError.h"
#include "store/OVStore.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class OVEditorFrame;
class OVTextField;
class PlantPicker;
class QNChromeButton;
class QVBoxLayout;

// The text a number box opened with and the stored value behind it.
class KeptNumber {
public:
    KeptNumber() = default;
    KeptNumber(std::optional<double> stored, QString shown) : m_stored(stored), m_shown(std::move(shown)) {}

    const QString& shown() const { return m_shown; }
    // The stored value while `text` is exactly the (non-empty) text the box opened with.
    std::optional<double> keep(const QString& text) const
    {
        if (m_shown.isEmpty() || text != m_shown)
            return std::nullopt;
        return m_stored;
    }

    // How a box reads on save: the stored value when untouched, nothing for a box
    // left blank (spaces and tabs only), the number typed, or not a number.
    struct Read {
        enum class Kind { number, blank, notNumber } kind = Kind::blank;
        double value = 0;
        bool kept = false; // the value is the stored one, in stored units
        QString trimmed; // the typed text without its outer spaces and tabs
    };
    Read read(const QString& text) const;

private:
    std::optional<double> m_stored;
    QString m_shown;
};

class OVRecordEditor : public QWidget {
    Q_OBJECT
public:
    std::optional<QString> error() const;
    OVEditorFrame* frame() const { return m_frame; }
    OVStore& store() const { return *m_store; }

    // The frame's Save and Cancel (Return and Escape land here too).
    virtual void save() = 0;
    virtual void cancel();

protected:
    OVRecordEditor(OVStore& store, const QString& title, const QString& symbol, double width, QWidget* parent);

    QVBoxLayout* form() const;
    void setError(const std::optional<QString>& error);
    // A destructive button at the bottom left of the form that runs askDelete().
    QNChromeButton* addDeleteButton(const QString& title);
    virtual void askDelete() {}

    template <typename T>
    std::optional<QString> store(T& copy)
    {
        try {
            m_store->save(copy);
        } catch (const OVError& error) {
            return error.errorDescription();
        }
        return std::nullopt;
    }

    // store(copy), then `shown` puts what the store left in the copy back into the
    // form either way; a refusal is shown on the frame. True when stored.
    template <typename T, typename Shown>
    bool commit(T& copy, Shown&& shown)
    {
        const std::optional<QString> failure = store(copy);
        shown(copy);
        if (failure) {
            setError(failure);
            return false;
        }
        return true;
    }

    // commit(), and on success the sheet closes (the editor may go with it).
    template <typename T, typename Shown>
    void commitAndClose(T& copy, Shown&& shown)
    {
        if (commit(copy, std::forward<Shown>(shown)))
            closeSheet();
    }

    // The crop box follows the plant picker: a plant other than the one chosen before
    // puts its crop into the box; the same plant again, or "—", leaves the box as it
    // is. Connect it after the form is filled.
    void cropFollowsPlant(PlantPicker* plant, OVTextField* crop);

    template <typename T>
    void closeAndAskDelete(const QString& name, const QString& detail, qint64 id,
                           std::function<void(OVStore&)> afterwards = {})
    {
        askAfterClosing(name, detail, [id](OVStore& store) { store.template remove<T>(id); }, std::move(afterwards));
    }

private:
    void askAfterClosing(const QString& name, const QString& detail, std::function<void(OVStore&)> remove,
                         std::function<void(OVStore&)> afterwards);

    QPointer<OVStore> m_store;
    OVEditorFrame* m_frame = nullptr;
};
