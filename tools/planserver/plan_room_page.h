#pragma once

#include "planserver/plan_server.h"

#include <QByteArray>
#include <QString>

// The demo's plan-room page: GET /planroom/<project number> (for example /planroom/2004-0815)
// lists the sheets of the project whose plan list the server's folder holds at
// <level 1>/<level 2>/plans/planlist.txt (the number split at its first "-"). Each sheet has an
// "Open in Sheetwise" link whose script-built href is a `sheetwise:calls?json=` URL handing over
// the project as a plan-room page does: InitVars with the page's own origin as the plan server
// URL, MakePlanList with the plan list, SetFirstImage with the chosen sheet.
//
// A project number that could name anything outside the folder, or a project without a plan
// list, is answered 404.
namespace sw::tools {

inline constexpr char kPlanRoomPath[] = "/planroom/";
// The site name the page's links give InitVars.
inline constexpr char kPlanRoomSite[] = "demo";

// Adds the page's route to `server`, reading plan lists under the folder `root`.
void addPlanRoomPage(PlanServer& server, const QString& root);

// The page of a project from its plan list text ("<number> <name>~group,sheet name,file~...").
QByteArray planRoomPage(const QString& projectNumber, const QString& planList);

}  // namespace sw::tools
