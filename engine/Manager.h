#pragma once

#include <string>

#include "ObjectList.h"

namespace ox {

class Event;
class Object;

/// Most event labels a manager keeps interest lists for.
constexpr int MAX_EVENTS = 100;

/// Base of every engine manager: a type name for log lines, the started flag
/// with its start/stop protocol, and the interest lists through which the
/// manager delivers the events it accepts.
class Manager {
public:
    /// A manager of type "Manager", not started, with no interest lists in use.
    Manager();

    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    /// True when this manager may deliver events of the label; the base delivers none.
    virtual bool isValid(std::string event_name) const;

    /// Clears the started flag; the lists never own their objects.
    virtual ~Manager();

    /// Marks the manager started and returns 0 (warns when already started).
    virtual int startUp();

    /// Marks the manager not started (warns when it was not started).
    virtual void shutDown();

    /// The manager's type name.
    std::string getType() const;

    /// Replaces the manager's type name.
    void setType(std::string new_type);

    /// True between a successful startUp and shutDown.
    bool isStarted() const;

    /// Adds the object to the interest list of the label. 0 on success, -1 on failure.
    int registerInterest(Object* p_o, std::string event_type);

    /// Removes the object from the interest list of the label. 0 on success, -1 on failure.
    int unregisterInterest(Object* p_o, std::string event_type);

    /// Delivers the event to every active object registered for its label;
    /// returns how many of them handled it.
    int onEvent(const Event* p_event) const;

protected:
    /// For a manager's own startUp: true, with a warning logged, when the
    /// manager is started already and must refuse to start again.
    bool refuseRestart() const;

private:
    /// Index of the entry in use for the label, or -1.
    int findEntry(const std::string& event_type) const;

    std::string m_type;                    ///< Name used in log lines.
    int m_event_list_count;                ///< Interest entries in use.
    std::string m_event_name[MAX_EVENTS];  ///< Label of each entry.
    ObjectList m_obj_list[MAX_EVENTS];     ///< Interested objects of each entry.
    bool m_is_started;                     ///< True when started.
};

}  // namespace ox
