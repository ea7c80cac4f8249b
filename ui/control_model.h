#pragma once

// The state of every control of the main window, without widgets: the window's
// handlers read and change this model, and the Qt window mirrors it. Pure C++.
//
// Each state carries a version that grows with every change, so the window only
// copies to its widgets what changed since it last looked.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/control_table.h"

namespace tapwright::ui {

struct ControlState {
    bool visible = true;
    bool enabled = true;
    std::string text;                // edit text, or caption of a label or button
    std::vector<std::string> items;  // combo items
    int selection = -1;              // combo selection, -1 for none
    bool checked = false;            // check box or radio button
    // List views: the coefficients shown, one row each (null: no rows). Shared and
    // never changed once set, so a long list is filled by handing over a pointer.
    std::shared_ptr<const std::vector<double>> rows;
    std::uint64_t version = 0;
};

class ControlModel {
  public:
    // One state per row of ControlTable(): visible and enabled, the table's caption
    // as text, nothing else set.
    ControlModel();

    // The state of `id`; ids outside the table are a programming error and abort.
    const ControlState& State(int id) const;

    void Show(int id, bool visible);
    void Enable(int id, bool enabled);
    // Sets the text. A change of text (not a write of the same text) is reported to
    // the text-change listener, which the window uses for InvalidateDesign: pushing
    // the edit buffer raises it, as typing does.
    void SetText(int id, const std::string& text);
    void SetChecked(int id, bool checked);
    void SetItems(int id, std::vector<std::string> items);  // clears the selection
    void AddItem(int id, const std::string& item);
    void InsertItem(int id, int index, const std::string& item);
    void DeleteItem(int id, int index);  // an index outside the list does nothing
    // Selects item `index` (-1 for none); an index outside the list selects none.
    void Select(int id, int index);
    void SetRows(int id, std::shared_ptr<const std::vector<double>> rows);
    // The widget of `id` may differ from its state (the progress texts are shown
    // directly while a design runs on a worker thread): the window copies it again.
    void MarkChanged(int id);

    int ItemCount(int id) const { return static_cast<int>(State(id).items.size()); }
    int Selection(int id) const { return State(id).selection; }
    bool Checked(int id) const { return State(id).checked; }
    const std::string& Text(int id) const { return State(id).text; }

    // Called after a change of text, with the id (the window binds InvalidateDesign
    // to the ids that raise it).
    void SetTextChangeListener(std::function<void(int id)> listener);

    // Largest version of any state: the window compares it with what it last mirrored.
    std::uint64_t Version() const { return version_; }

  private:
    ControlState& Mutable(int id);
    void Touch(ControlState& s);

    std::unordered_map<int, ControlState> states_;
    std::function<void(int)> textListener_;
    std::uint64_t version_ = 0;
};

}  // namespace tapwright::ui
