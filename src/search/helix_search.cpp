#include "search/helix_search.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "base/text.h"
#include "model/supercoil.h"
#include "search/allowed.h"
#include "run/oligomer.h"
#include "search/contacts.h"
#include "search/refine.h"
#include "search/side_chains.h"

namespace {

// The helix as noebundle reads it, with finite coordinates only.
Status read_helix(const std::string& pdbText, const std::string& path, Helix& helix) {
    count_residues(pdbText, helix.numResidue, helix.checkAux);
    std::istringstream in(pdbText);
    Status status = parse_helix_pdb(in, path, helix);
    for (int i = 0; status.ok() && i < helix.numPoint(); ++i) {
        const Point& p = helix.coord[i];
        if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) continue;
        const std::string& line = helix.atomLine[i];
        status = Status::error("[Error] Atom " + trim_blanks(cut(line, 12, 4)) + " of residue " + trim_blanks(cut(line, 22, 4)) +
                               " in '" + path + "' has a coordinate that is not a finite number");
    }
    return status;
}

// With refine: the kept placements packed and refined below the grid's
// steps, within the searched radii.
void refine_kept(const SearchSettings& s, const Grid& grid, const Scorer& scorer, const Template& tmpl,
                 int numProtomer, SearchResult& result) {
    RefineSettings refining{s.angleStep * M_PI / 180.0, s.rStep};
    if (!grid.radius.empty()) {
        const auto [low, high] = std::minmax_element(grid.radius.begin(), grid.radius.end());
        refining.lowestRadius = *low;
        refining.highestRadius = *high;
    }
    const SideChainPacker packer(tmpl, numProtomer);
    refine_best(scorer, tmpl, numProtomer, refining, &packer, result);
}

std::string score_and_packing(const SearchResult& r) {
    const Hit& best = r.best.front();
    return fixed3(best.score, 0) + (r.packed ? " (packing energy " + fixed3(float(packing_energy(best.packing)), 0) + ")" : "");
}

}  // namespace

Status prepare_helix(const std::string& pdbText, const std::string& path, HelixSearch& out) {
    out = HelixSearch{};
    out.pdbText = pdbText;
    Status status = read_helix(pdbText, path, out.helix);
    if (!status.ok()) return status;
    Helix& helix = out.helix;
    align_on_z(helix.coord, helix.numResidue, helix.center, helix.angle);
    out.originText = aligned_template(pdbText, helix.center, helix.angle);
    return Status::fine();
}

void search_helix(const Restraint& res, int numProtomer, const Grid& grid, const SearchSettings& s, bool refine,
                  const Progress& progress, HelixSearch& out) {
    const Scorer scorer(out.helix, res, numProtomer);
    std::istringstream originLines(out.originText);
    const Template tmpl = parse_template(originLines);
    const ContactModel contacts(tmpl, numProtomer);
    out.result = search(scorer, grid, std::size_t(s.keep), progress, &contacts);
    AllowedClusters clusters = cluster_allowed(out.result, grid, tmpl, numProtomer, s.clusterCutoff);
    keep_representatives(clusters.representatives, grid, out.result);
    if (refine) {
        refine_kept(s, grid, scorer, tmpl, numProtomer, out.result);
        if (!clusters.set.clusters.empty()) follow_refined(out.result, tmpl, numProtomer, clusters);
    }
    out.allowed = std::move(clusters.set);
}

Status supercoil_search(const HelixSearch& straight, const std::string& path, const Restraint& res, int numProtomer,
                        const Grid& grid, const SearchSettings& s, bool refine, const Progress& progress,
                        HelixSearch& chosen, std::string& said) {
    chosen = straight;
    if (straight.result.best.empty()) return Status::fine();
    if (numProtomer < 2) {
        said = "Supercoil: a single protomer has no bundle to wind about: kept the straight helix";
        return Status::fine();
    }
    const HelixTwist twist = helix_twist(straight.originText);
    const SupercoilBend bend = supercoil_bend(straight.result.rows.front(), twist);
    said = "Supercoil: the best placement's tilt of " + decimals(bend.tilt, 1) + " degrees about the axis at radius " +
           fixed3(float(bend.radius), 0);
    if (bend.curvature == 0) {
        said += bend.rightHanded ? " winds right-handed, where helices cross at one point: kept the straight helix"
                                 : " asks no bend: kept the straight helix";
        return Status::fine();
    }
    const std::string bentText = supercoiled_pdb_text(straight.pdbText, straight.helix.center, straight.helix.angle, bend);
    if (bentText == straight.pdbText) {  // a helix curved already, or one too large to bend in the PDB columns
        said += " asks the curvature the helix has: kept it as given";
        return Status::fine();
    }
    HelixSearch bent;
    Status status = prepare_helix(bentText, path, bent);
    if (!status.ok()) return status;
    search_helix(res, numProtomer, grid, s, refine, progress, bent);
    said += " winds left-handed; a seam of " + decimals(heptadResiduesPerTurn, 1) + " residues a turn on a helix of " +
            decimals(360.0 / twist.degrees, 2) + " bends the helix to a radius of curvature of " +
            decimals(1.0 / bend.curvature, 1) + "; its best scores " +
            (bent.result.best.empty() ? std::string("nothing") : score_and_packing(bent.result)) + " against " +
            score_and_packing(straight.result) + " straight";
    // The restraints decide; on a tie the supercoiled helix is kept, as
    // the bundle's geometry asks it (packing, which rewards every contact,
    // would favour whichever shape lets the bundle close up).
    const bool keepBent = !bent.result.best.empty() &&
                             !(tie_class(straight.result.best.front().score) < tie_class(bent.result.best.front().score));
    said += keepBent ? ": kept the supercoiled helix" : ": kept the straight helix";
    if (keepBent) chosen = std::move(bent);
    // Both searches count toward the work done (and the rate shown).
    chosen.result.searched = straight.result.searched + bent.result.searched;
    chosen.result.twins = straight.result.twins + bent.result.twins;
    return Status::fine();
}
