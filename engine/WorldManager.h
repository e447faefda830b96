#pragma once

#include <string>

#include "Box.h"
#include "Manager.h"
#include "ObjectList.h"
#include "SceneGraph.h"
#include "Vector.h"

namespace ox {

class Object;

/// Owns the game world: moves objects each step, resolves collisions by
/// solidness, tells objects when they leave the boundary, deletes objects
/// marked for deletion, draws visible objects layer by layer and keeps the
/// view on a followed object. Delivers every event label no other manager
/// claims (game-defined labels and "ox-view").
///
/// A world larger than the window, a view that follows the player, and an
/// event to the view objects:
/// \code
/// ox::WorldManager& world = ox::WorldManager::getInstance();
/// world.setBoundary(ox::Box(ox::Vector(0, 0), 200, 60));
/// world.setViewFollowing(p_player);
/// ox::EventView health("Health", -1, true);  // add -1 to the view object "Health"
/// world.onEvent(&health);
/// world.markForDelete(p_pick_up);  // deleted at the end of this step
/// \endcode
class WorldManager : public Manager {
public:
    /// The one instance, created on first use.
    static WorldManager& getInstance();

    /// False for the labels other managers deliver or that are sent without
    /// registration ("ox-collision", "ox-out"), each with a log line.
    bool isValid(std::string event_name) const override;
    /// Resets boundary, view, slack and deletions and starts the scene graph; 0 or -1.
    int startUp() override;
    /// Deletes every object in the world and stops the scene graph.
    void shutDown() override;

    /// Adds an object to the world (objects do this in their constructor); 0 or -1.
    int insertObject(Object* p_o);
    /// Takes an object out of the world (objects do this in their destructor); 0 or -1.
    int removeObject(Object* p_o);
    /// Deletes the object at the end of this step's update; 0 or -1.
    int markForDelete(Object* p_o);

    /// The solid objects the object would overlap if it stood at where.
    ObjectList getCollisions(const Object* p_o, Vector where) const;
    /// Moves an object to where, colliding it on the way; 0 when moved, -1 when not.
    int moveObject(Object* p_o, Vector where);
    /// Moves every active object one step, then deletes the marked ones.
    void update();
    /// Draws the visible objects, altitude 0 first.
    void draw();

    /// The index of every object in the world.
    SceneGraph& getSceneGraph() { return m_scene_graph; }
    /// The index of every object in the world.
    const SceneGraph& getSceneGraph() const { return m_scene_graph; }

    /// Extent of the world; its corner is taken as (0,0).
    Box getBoundary() const { return m_boundary; }
    /// Sets the extent of the world and rebuilds the collision grid for it; 0 or -1.
    int setBoundary(Box new_boundary);
    /// Part of the world shown, in world cells.
    Box getView() const { return m_view; }
    /// Sets the part of the world shown.
    void setView(Box new_view);
    /// Fraction of the view, per axis, the followed object may move in before the view scrolls.
    Vector getViewSlack() const { return m_view_slack; }
    /// Sets the view slack; components outside [0, 1] are warned about and kept.
    void setViewSlack(Vector new_view_slack);
    /// Centres the view on where, kept within the boundary.
    void setViewPosition(Vector where);
    /// Keeps the view on an object (null for none) and centres it there at once; 0.
    int setViewFollowing(Object* p_new_view_following);
    /// The object the view keeps in sight, or null.
    Object* getViewFollowing() const { return m_p_view_following; }

private:
    WorldManager();

    /// Resolves the move of a solid object: collision events, blocking and
    /// sliding. 0 when the move may go ahead (where may have changed), -1 when not.
    int collide(Object* p_o, Vector& where);
    /// Turns a HARD obstacle's normal into a sliding move; 0 when the slid place is free.
    int slide(Object* p_o, Object* p_hard, Vector& where, ObjectList& collisions);
    /// Scrolls the view after the followed object moved.
    void scrollView();
    /// Draws one visible object when it is in view (view objects always).
    void drawObject(Object* p_o);

    SceneGraph m_scene_graph;    ///< Index of all objects.
    ObjectList m_deletions;      ///< Objects to delete at the end of this step.
    Object* m_p_view_following;  ///< Object the view keeps in sight; null for none.
    Box m_boundary;              ///< Extent of the world.
    Box m_view;                  ///< Part of the world shown.
    Vector m_view_slack;         ///< Slack of the view, per axis.
};

}  // namespace ox
