#pragma once

#include <functional>
#include <vector>

#include <QString>

namespace ui {

// The program's windows by name, and how each is opened. The program fills it once; the
// createl menu, "--window NAME" and the windows that open another one all go through it, so
// that a window never includes the header of another feature's window.
class WindowList {
public:
    struct Entry {
        QString name;    // "createl", "inditta", "fDitta", "Parteb1"
        QString caption; // the window's caption, as a menu shows it
        // Opens the window; empty while the window cannot be opened in this build.
        std::function<void()> open;
    };

    void add(QString name, QString caption, std::function<void()> open)
    {
        m_entries.push_back({std::move(name), std::move(caption), std::move(open)});
    }
    const std::vector<Entry>& entries() const { return m_entries; }
    const Entry* find(const QString& name) const
    {
        for (const Entry& entry : m_entries) {
            if (entry.name == name)
                return &entry;
        }
        return nullptr;
    }
    // Opens the window of that name; false when there is none or it cannot be opened.
    bool open(const QString& name) const
    {
        const Entry* entry = find(name);
        if (!entry || !entry->open)
            return false;
        entry->open();
        return true;
    }

private:
    std::vector<Entry> m_entries;
};

} // namespace ui
