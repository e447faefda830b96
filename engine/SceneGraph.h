#pragma once

#include <map>
#include <string>

#include "Grid.h"
#include "Object.h"
#include "ObjectList.h"

namespace ox {

/// The world manager's index of its objects: active ones for motion, solid
/// ones (and the collision grid) for collisions, visible ones per altitude for
/// drawing, inactive ones so that nothing is lost, and active ones by type.
/// Object setters call the update operations before they change the
/// attribute, so each operation reads the old value from the object and takes
/// the new one as its argument.
class SceneGraph {
public:
    /// Empty lists and a grid without buckets.
    SceneGraph();
    SceneGraph(const SceneGraph&) = delete;
    SceneGraph& operator=(const SceneGraph&) = delete;

    /// Clears the type map and builds the grid for the current boundary, then
    /// indexes the active objects already held by type and in the grid; 0 or -1.
    int startUp();
    /// Clears the type map and frees the grid; the object lists stay.
    void shutDown();

    /// Adds an object according to its attributes; 0 or -1.
    int insertObject(Object* p_o);
    /// Removes an object from every list it belongs in; 0 or -1.
    int removeObject(Object* p_o);

    /// A copy of the active objects.
    ObjectList activeObjects() const;
    /// A copy of the inactive objects.
    ObjectList inactiveObjects() const;
    /// A copy of the active solid objects.
    ObjectList solidObjects() const;
    /// A copy of the active visible objects at an altitude; empty (with a
    /// warning) outside [0, MAX_ALTITUDE].
    ObjectList visibleObjects(int altitude) const;
    /// A copy of the active objects of a type; empty when there are none.
    ObjectList objectsOfType(const std::string& type) const;
    /// The collision grid.
    const Grid& getGrid() const { return m_grid; }
    /// The other solid objects whose boxes overlap p_o's box placed at where.
    ObjectList getCollisions(const Object* p_o, Vector where) const;

    /// Moves the object between objects and inactive_objects and every list
    /// that depends on activity; 0 or -1.
    int updateActive(Object* p_o, bool new_active);
    /// Adds to or removes from the visible list of its altitude; 0 or -1.
    int updateVisible(Object* p_o, bool new_visible);
    /// Moves a visible object between altitude lists; 0 or -1.
    int updateAltitude(Object* p_o, int new_altitude);
    /// Adds to or removes from solid_objects and the grid; 0 or -1.
    int updateSolidness(Object* p_o, Solidness new_solidness);
    /// Moves the object between type lists; 0 or -1.
    int updateType(Object* p_o, const std::string& new_type);
    /// Moves an active solid object between grid buckets; 0 or -1.
    int updatePosition(Object* p_o, Vector new_position);

private:
    /// The visible list of an altitude, or null outside [0, MAX_ALTITUDE].
    ObjectList* visibleList(int altitude);
    /// Removes from the type map's list of the object's type; -1 when absent.
    int removeFromTypeMap(Object* p_o);
    /// Indexes the active objects by type and, when solid, in the grid.
    int reindex();
    int deactivate(Object* p_o);
    int activate(Object* p_o);

    ObjectList m_objects;                            ///< Every active object.
    ObjectList m_solid_objects;                      ///< Active HARD or SOFT objects.
    ObjectList m_visible_objects[MAX_ALTITUDE + 1];  ///< Active visible objects by altitude.
    ObjectList m_inactive_objects;                   ///< Every inactive object.
    std::map<std::string, ObjectList> m_type_map;    ///< Active objects by type.
    Grid m_grid;                                     ///< Active solid objects by bucket.
};

}  // namespace ox
