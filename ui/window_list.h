#pragma once

#include <functional>
#include <string>
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
        // Opens the window on the company and month that another window chose, handed over
        // as the company data file the payroll program prepared for them (installation
        // notation, "C:\nolv\paghe\una00103.016"); true when the window opened. Empty for a
        // window that takes no company.
        std::function<bool(const std::string& companyDataFile)> openOnCompany;
    };

    void add(QString name, QString caption, std::function<void()> open,
             std::function<bool(const std::string&)> openOnCompany = {})
    {
        m_entries.push_back({std::move(name), std::move(caption), std::move(open), std::move(openOnCompany)});
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
    // Opens the window of that name on a company's month; false when there is none, it takes
    // no company or it did not open.
    bool openOnCompany(const QString& name, const std::string& companyDataFile) const
    {
        const Entry* entry = find(name);
        return entry && entry->openOnCompany && entry->openOnCompany(companyDataFile);
    }

private:
    std::vector<Entry> m_entries;
};

} // namespace ui
