// The choice of breaks, as typesetting makes it: a verse falls into regions, the stretches between
// its slide changes. Each region is a row of units (words, or whole lines that are kept as they
// are) with gaps between them: blanks where a line may be broken, the verse's own line breaks,
// and the verse's own empty lines. Every way of laying a region out as lines and slides is given
// a cost, and the cheapest is taken:
// - a line that is not the last of its slide costs the square of its free space (N minus its
//   length), the last line half of that: the lines of a slide come out about equally long;
// - a break between plain words costs more than one after a comma, and that more than one after
//   the end of a sentence or clause; a break that would start a line with a mark belonging to the
//   word before, or end one with a mark opening the next word, costs so much that only the limits
//   make it;
// - a single short word alone on the last line of a slide costs about as much as an extra line;
// - a region that does not fit on M lines is split into as few slides as possible; among those
//   splits the one after a sentence end, into slides of about equal length, wins.
// The lines of each slide are laid out exactly as that slide would be on its own, so formatting
// the result again (where the new slide changes end regions) finds the same lines.
#include "verse/slide_format.h"

#include "verse/blanks.h"
#include "verse/long_lines.h"
#include "verse/stored_text.h"

#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace verse {

namespace {

constexpr double kInfinite = std::numeric_limits<double>::infinity();

// Costs in units of N squared (a line that stays empty costs 1).
constexpr double kCommaBreak = 0.05;
constexpr double kPlainBreak = 0.3;
constexpr double kGluedBreak = 1000.0;
constexpr double kLoneShortWord = 0.6;
constexpr double kCommaSplit = 1.0;
constexpr double kPlainSplit = 3.0;
constexpr double kSplitAtEmptyLine = 20.0;
constexpr double kUnequalSlides = 1.0; // per (slide length minus the mean)^2, lengths in lines of N

// Marks that close what stands before them, and marks that open what follows.
const QString kClosers = QStringLiteral(")]}\"'\u201D\u2019\u00BB\u00AB\u203A\u2039");
const QString kLeadingMarks = QStringLiteral(",.;:!?)]}\u201D\u2019\u2026");
const QString kOpeners = QStringLiteral("([{\u00A1\u00BF\u201E\u201C\u2018\u00AB\u2039\u201A\"'");
const QString kSentenceEnds = QStringLiteral(".!?;:\u2026");
const QString kMarksOnly = kClosers + kLeadingMarks;           // a word of such marks only
const QString kOpenersAtEnd = QStringLiteral("([{\u00A1\u00BF\u201E"); // open whatever follows

enum class After { Sentence, Comma, Plain };

struct Unit {
    QStringView text; // as it is written (a kept line's leading blanks included)
    int width = 0;
    After after = After::Plain;
    bool glueBefore = false; // a break before it would start a line with a mark of the word before
    bool glueAfter = false;  // a break after it would end a line with a mark opening the next word
    bool shortWord = false;  // one word of four characters or fewer
};

enum class GapKind { Blanks, LineBreak, EmptyLines };

struct Gap {
    GapKind kind = GapKind::Blanks;
    QStringView text; // Blanks: the blanks as written
    int width = 0;
    QStringList emptyLines; // EmptyLines: the stored lines, as they are
};

struct Region {
    QStringList leading; // empty lines before the first unit
    std::vector<Unit> units;
    std::vector<Gap> gaps; // gaps[k] stands before units[k]; gaps[0] is unused
    QStringList trailing;
};

// No mark is a letter or a digit, and most characters are: they are not looked up.
bool in(QChar c, const QString& set) { return !c.isLetterOrNumber() && set.contains(c); }

bool allIn(QStringView token, const QString& set) {
    for (QChar c : token)
        if (!in(c, set)) return false;
    return true;
}

void classify(Unit& unit, QStringView first, QStringView last, int words) {
    unit.glueBefore = in(first.front(), kLeadingMarks) || allIn(first, kMarksOnly);
    unit.glueAfter = allIn(last, kOpeners) || in(last.back(), kOpenersAtEnd);
    qsizetype end = last.size();
    while (end > 0 && in(last[end - 1], kClosers)) --end;
    if (end > 0 && in(last[end - 1], kSentenceEnds)) unit.after = After::Sentence;
    else if (end > 0 && last[end - 1] == u',') unit.after = After::Comma;
    unit.shortWord = words == 1 && characterCount(first) <= 4;
}

struct Token {
    qsizetype start = 0;
    qsizetype end = 0;
};

void tokensOf(QStringView line, std::vector<Token>& tokens) {
    tokens.clear();
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i == line.size()) break;
        const qsizetype start = i;
        while (i < line.size() && !isBlank(line[i])) ++i;
        tokens.push_back({start, i});
    }
}

// The units and gaps of the non-slide-change lines [first, last) of `lines`.
// Fills `region` (its vectors keep their capacity from verse to verse).
void regionOf(const QStringList& lines, qsizetype first, qsizetype last, const SlideFormat& format, Region& region) {
    region.units.clear();
    region.gaps.clear();
    region.leading.clear();
    region.trailing.clear();
    QStringList empties;
    // Empty lines between two units make the gap between them; before the first they lead.
    auto push = [&](Unit unit, Gap before) {
        if (region.units.empty()) {
            region.leading = std::exchange(empties, {});
            region.gaps.push_back({});
        } else if (!empties.isEmpty()) {
            region.gaps.push_back({GapKind::EmptyLines, {}, 0, std::exchange(empties, {})});
        } else {
            region.gaps.push_back(std::move(before));
        }
        region.units.push_back(std::move(unit));
    };
    std::vector<Token> tokens;
    const bool lineBreakStays = format.keepLineBreaks;
    static const QString space = QStringLiteral(" ");
    const Gap lineGap = lineBreakStays ? Gap{GapKind::LineBreak, {}, 1, {}} : Gap{GapKind::Blanks, space, 1, {}};
    for (qsizetype l = first; l < last; ++l) {
        const QString& line = lines[l];
        if (kindOf(line) == LineKind::EmptyLine) {
            empties << line;
            continue;
        }
        tokensOf(line, tokens);
        auto tokenAt = [&](size_t t) {
            return QStringView(line).mid(tokens[t].start, tokens[t].end - tokens[t].start);
        };
        if (lineBreakStays && (tokens.size() < 2 || characterCount(line) <= format.maxLineLength)) {
            Unit unit{line, characterCount(line)};
            classify(unit, tokenAt(0), tokenAt(tokens.size() - 1), int(tokens.size()));
            push(std::move(unit), lineGap);
            continue;
        }
        for (size_t t = 0; t < tokens.size(); ++t) {
            Unit unit;
            // A kept line that is broken keeps its leading blanks on its first part.
            unit.text = t == 0 && lineBreakStays ? QStringView(line).left(tokens[t].end) : tokenAt(t);
            unit.width = characterCount(unit.text);
            classify(unit, tokenAt(t), tokenAt(t), 1);
            if (t == 0) {
                push(std::move(unit), lineGap);
                continue;
            }
            const QStringView blanks =
                lineBreakStays ? QStringView(line).mid(tokens[t - 1].end, tokens[t].start - tokens[t - 1].end)
                               : QStringView(space);
            push(std::move(unit), Gap{GapKind::Blanks, blanks, characterCount(blanks), {}});
        }
    }
    if (region.units.empty()) region.leading = std::exchange(empties, {});
    else region.trailing = std::exchange(empties, {});
}

// One line of a layout: units [from, to).
struct Line {
    int from = 0;
    int to = 0;
};

// Lays out one region.
class RegionLayout {
public:
    RegionLayout(const Region& region, const SlideFormat& format)
        : r_(region), n_(int(region.units.size())), maxWidth_(format.maxLineLength),
          maxLines_(format.maxSlideLines), scale_(double(format.maxLineLength) * format.maxLineLength) {
        scratch_.clear();
        for (int k = 0; k < n_; ++k) {
            const Unit& unit = r_.units[size_t(k)];
            unitWidth_.push_back(unit.width);
            lone_.push_back(unit.shortWord ? kLoneShortWord * scale_ : 0.0);
            soft_.push_back(k > 0 && gap(k).kind == GapKind::Blanks);
            gapWidth_.push_back(k > 0 ? gap(k).width : 0);
            breakCost_.push_back(k > 0 ? breakCost(k) : 0.0);
            emptyAt_.push_back(k > 0 ? emptyLinesAt(k) : 0);
        }
        // Every line the region can have: units [i, j) with blanks between them, at most N
        // characters or a single unit; and the square of its free space.
        for (int i = 0; i < n_; ++i) {
            lineStart_.push_back(int(lineEnd_.size()));
            int width = 0;
            for (int j = i + 1; j <= n_; ++j) {
                if (j - 1 > i) {
                    if (!soft_[size_t(j - 1)]) break;
                    width += gapWidth_[size_t(j - 1)];
                }
                width += unitWidth_[size_t(j - 1)];
                if (j - i >= 2 && width > maxWidth_) break;
                const double free = width < maxWidth_ ? double(maxWidth_ - width) : 0.0;
                lineEnd_.push_back(j);
                lineFull_.push_back(free * free);
            }
        }
        lineStart_.push_back(int(lineEnd_.size()));
    }

    // The stored lines of the region, new slide changes as empty lines.
    QStringList lines() {
        QStringList out = r_.leading;
        if (n_ == 0) return out;
        std::vector<int> starts = splitIntoSlides();
        if (starts.empty()) { // the verse's own empty lines make a slide too long: lines only
            maxLines_ = 0;
            made_.assign(made_.size(), false);
            starts = {0};
        }
        starts.push_back(n_);
        for (size_t s = 0; s + 1 < starts.size(); ++s) {
            const int a = starts[s];
            const int b = starts[s + 1];
            const std::vector<Line> slide = slideLines(a, b);
            for (size_t i = 0; i < slide.size(); ++i) {
                out << textOf(slide[i]);
                if (i + 1 < slide.size() && gap(slide[i].to).kind == GapKind::EmptyLines) out << gap(slide[i].to).emptyLines;
            }
            if (b < n_) {
                if (gap(b).kind == GapKind::EmptyLines) out << gap(b).emptyLines;
                out << QString(); // the new slide change
            }
        }
        out << r_.trailing;
        return out;
    }

private:
    const Gap& gap(int k) const { return r_.gaps[size_t(k)]; }

    QString textOf(Line line) const {
        QString text = r_.units[size_t(line.from)].text.toString();
        for (int k = line.from + 1; k < line.to; ++k) {
            text += gap(k).text;
            text += r_.units[size_t(k)].text;
        }
        return text;
    }

    bool glued(int k) const {
        return gap(k).kind == GapKind::Blanks && (r_.units[size_t(k - 1)].glueAfter || r_.units[size_t(k)].glueBefore);
    }

    // A line break at gap k (inside a slide).
    double breakCost(int k) const {
        if (gap(k).kind != GapKind::Blanks) return 0.0;
        double cost = 0.0;
        switch (r_.units[size_t(k - 1)].after) {
        case After::Sentence: break;
        case After::Comma: cost = kCommaBreak; break;
        case After::Plain: cost = kPlainBreak; break;
        }
        if (glued(k)) cost += kGluedBreak;
        return cost * scale_;
    }

    // A new slide change at gap k.
    double splitCost(int k) const {
        double cost = 0.0;
        switch (r_.units[size_t(k - 1)].after) {
        case After::Sentence: break;
        case After::Comma: cost = kCommaSplit; break;
        case After::Plain: cost = kPlainSplit; break;
        }
        if (gap(k).kind == GapKind::EmptyLines) cost += kSplitAtEmptyLine;
        if (glued(k)) cost += kGluedBreak;
        return cost * scale_;
    }

    int emptyLinesAt(int k) const { return gap(k).kind == GapKind::EmptyLines ? int(gap(k).emptyLines.size()) : 0; }

    // The cheapest layout of units [a, b) as one slide on its own, for every end b at once.
    // slideEnd[b - a] is its cost (infinite when it does not fit), lastLine[b - a] its last line.
    struct SlideTable {
        std::vector<double> cost;        // [i - a][c]: a line starts at unit i after c lines
        std::vector<int> fromLine;       // the state the line before came from, -1 at the start
        std::vector<double> slideEnd;    // [b - a]
        std::vector<int> lastLineState;  // [b - a]: the state the slide's last line starts from
    };

    int lineSlots() const { return maxLines_ > 0 ? maxLines_ : 1; }

    // The table of start a, made once.
    const SlideTable& tableFrom(int a) const {
        if (made_.empty()) {
            made_.assign(size_t(n_), false);
            if (tables_.size() < size_t(n_)) tables_.resize(size_t(n_));
        }
        SlideTable& table = tables_[size_t(a)];
        if (!made_[size_t(a)]) {
            fillSlideTable(a, table);
            made_[size_t(a)] = true;
        }
        return table;
    }

    void fillSlideTable(int a, SlideTable& t) const {
        const int span = n_ - a;
        const int slotCount = lineSlots();
        t.cost.assign(size_t(span) * size_t(slotCount), kInfinite);
        t.fromLine.assign(t.cost.size(), -1);
        t.slideEnd.assign(size_t(span) + 1, kInfinite);
        t.lastLineState.assign(size_t(span) + 1, -1);
        const int leading = a == 0 ? int(r_.leading.size()) : 0;
        if (maxLines_ > 0 && leading >= maxLines_) return;
        t.cost[size_t(maxLines_ > 0 ? leading : 0)] = 0.0;
        // Plain locals and pointers: the stores into the tables cannot then alias what the loop
        // reads, and the compiler keeps it in registers.
        const int n = n_, maxLines = maxLines_, trailing = int(r_.trailing.size());
        const int* emptyAt = emptyAt_.data();
        const char* soft = soft_.data();
        const double* lone = lone_.data();
        const double* breakCost = breakCost_.data();
        double* cost = t.cost.data();
        int* fromLine = t.fromLine.data();
        double* slideEnd = t.slideEnd.data();
        int* lastLineState = t.lastLineState.data();
        for (int i = a; i < n; ++i) {
            for (int c = 0; c < slotCount; ++c) {
                const int state = (i - a) * slotCount + c;
                const double here = cost[state];
                if (here == kInfinite) continue;
                const int lines = c + 1;
                for (int e = lineStart_[size_t(i)]; e < lineStart_[size_t(i) + 1]; ++e) {
                    const int j = lineEnd_[size_t(e)];
                    const double fullCost = lineFull_[size_t(e)];
                    // The slide ends after this line.
                    const int closing = j == n ? trailing : emptyAt[j];
                    if (maxLines == 0 || lines + closing <= maxLines) {
                        const double end = here + 0.5 * fullCost + (j - i == 1 ? lone[i] : 0.0);
                        if (end < slideEnd[j - a]) {
                            slideEnd[j - a] = end;
                            lastLineState[j - a] = state;
                        }
                    }
                    // The slide goes on after this line; a line that ends where the verse has
                    // a line break or an empty line ends a paragraph, and may be shorter too.
                    if (j == n) continue;
                    const int next = maxLines > 0 ? lines + emptyAt[j] : 0;
                    if (maxLines > 0 && next >= maxLines) continue;
                    const int to = (j - a) * slotCount + next;
                    const double on = here + (soft[j] ? fullCost : 0.5 * fullCost) + breakCost[j];
                    if (on < cost[to]) {
                        cost[to] = on;
                        fromLine[to] = state;
                    }
                }
            }
        }
    }

    std::vector<Line> slideLines(int a, int b) const {
        const SlideTable& t = tableFrom(a);
        const int slotCount = lineSlots();
        std::vector<Line> lines;
        int end = b;
        for (int state = t.lastLineState[size_t(b - a)]; state >= 0; state = t.fromLine[size_t(state)]) {
            const int from = a + state / slotCount;
            lines.insert(lines.begin(), Line{from, end});
            end = from;
        }
        return lines;
    }

    // The first unit of every slide: {0} when the region fits on one slide, empty when no split
    // keeps every slide within M lines.
    std::vector<int> splitIntoSlides() const {
        if (maxLines_ == 0) return {0};
        if (tableFrom(0).slideEnd[size_t(n_)] < kInfinite) return {0};
        std::vector<double> edge(size_t(n_) + 1, 0.0); // where each unit starts, in characters
        for (int k = 0; k < n_; ++k) edge[size_t(k) + 1] = edge[size_t(k)] + (k > 0 ? gap(k).width : 0) + r_.units[size_t(k)].width;

        // First the fewest slides, then the cheapest split with slides of about equal length.
        struct Best {
            int slides = std::numeric_limits<int>::max();
            double cost = kInfinite;
            int from = -1;
        };
        // Slides start where a sentence ends, where the verse breaks a line, or after its empty
        // lines; only when that cannot keep every slide within M lines, after a comma too; and
        // only when that cannot either, anywhere.
        int tier = 0;
        auto allowed = [this, &tier](int k) {
            if (tier == 2 || gap(k).kind != GapKind::Blanks) return true;
            const After after = r_.units[size_t(k - 1)].after;
            return !glued(k) && (after == After::Sentence || (tier == 1 && after == After::Comma));
        };
        auto search = [&](double meanLength) {
            std::vector<Best> best(size_t(n_) + 1);
            best[0] = {0, 0.0, -1};
            for (int a = 0; a < n_; ++a) {
                if (best[size_t(a)].from < 0 && a > 0) continue;
                const SlideTable& t = tableFrom(a);
                for (int b = a + 1; b <= n_; ++b) {
                    const double slide = t.slideEnd[size_t(b - a)];
                    if (slide == kInfinite || (b < n_ && !allowed(b))) continue;
                    const double unequal = (edge[size_t(b)] - edge[size_t(a)] - meanLength) / maxWidth_;
                    const double cost = best[size_t(a)].cost + slide + (b < n_ ? splitCost(b) : 0.0) +
                                        kUnequalSlides * unequal * unequal * scale_;
                    const int slides = best[size_t(a)].slides + 1;
                    Best& to = best[size_t(b)];
                    if (slides < to.slides || (slides == to.slides && cost < to.cost)) to = {slides, cost, a};
                }
            }
            return best;
        };
        std::vector<Best> best = search(0.0);
        while (best[size_t(n_)].from < 0 && tier < 2) {
            ++tier;
            best = search(0.0);
        }
        if (best[size_t(n_)].from < 0) return {};
        best = search(edge[size_t(n_)] / best[size_t(n_)].slides);
        std::vector<int> starts;
        for (int b = n_; b > 0; b = best[size_t(b)].from) starts.insert(starts.begin(), best[size_t(b)].from);
        return starts;
    }

    const Region& r_;
    // The tables by start unit; their vectors are kept from region to region (one formatter
    // per thread), so that a bible's run does not allocate them 30,000 times.
    static thread_local std::vector<SlideTable> tables_;
    std::vector<char>& made_ = scratch_.made; // the tables made for this region
    int n_;
    int maxWidth_;
    int maxLines_;
    double scale_;
    // What the layouts read again and again, once per unit and gap; kept from region to region
    // like the tables.
    struct Scratch {
        std::vector<int> unitWidth, gapWidth, emptyAt;
        std::vector<int> lineStart, lineEnd; // the lines from unit i: lineEnd[lineStart[i] ..]
        std::vector<double> lineFull;        // their free space squared
        std::vector<double> lone, breakCost;
        std::vector<char> soft; // the gap before unit k is blanks (a line may break there)
        std::vector<char> made;
        void clear() {
            for (auto* v : {&unitWidth, &gapWidth, &emptyAt, &lineStart, &lineEnd}) v->clear();
            for (auto* v : {&lineFull, &lone, &breakCost}) v->clear();
            soft.clear();
            made.clear();
        }
    };
    static thread_local Scratch scratch_;
    std::vector<int>& unitWidth_ = scratch_.unitWidth;
    std::vector<int>& gapWidth_ = scratch_.gapWidth;
    std::vector<int>& emptyAt_ = scratch_.emptyAt;
    std::vector<int>& lineStart_ = scratch_.lineStart;
    std::vector<int>& lineEnd_ = scratch_.lineEnd;
    std::vector<double>& lineFull_ = scratch_.lineFull;
    std::vector<double>& lone_ = scratch_.lone;
    std::vector<double>& breakCost_ = scratch_.breakCost;
    std::vector<char>& soft_ = scratch_.soft;
};

thread_local std::vector<RegionLayout::SlideTable> RegionLayout::tables_;
thread_local RegionLayout::Scratch RegionLayout::scratch_;

} // namespace

bool keepsSlideLimits(const QString& stored, const SlideFormat& format) {
    // Read in place: most verses of a formatted bible pass, and are then left alone.
    const QStringView text(stored);
    int slideLines = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u"\r\n", start);
        if (end < 0) end = text.size();
        const QStringView line = text.mid(start, end - start);
        start = end + 2;
        if (line.isEmpty()) { // a slide change
            slideLines = 0;
            continue;
        }
        if (format.maxSlideLines > 0 && ++slideLines > format.maxSlideLines) return false;
        if (line.size() <= format.maxLineLength || characterCount(line) <= format.maxLineLength) continue;
        qsizetype words = 0;
        for (qsizetype i = 0; i < line.size() && words < 2; ++i)
            if (!isBlank(line[i]) && (i == 0 || isBlank(line[i - 1]))) ++words;
        if (words > 1) return false;
    }
    return true;
}

QString formatForSlides(const QString& stored, const SlideFormat& format) {
    if (format.maxLineLength < 1) return stored;
    if (format.keepLineBreaks && keepsSlideLimits(stored, format)) return stored;
    const StoredVerse verse = splitStored(stored);
    QStringList out;
    qsizetype first = 0;
    for (qsizetype l = 0; l <= verse.lines.size(); ++l) {
        if (l < verse.lines.size() && kindOf(verse.lines[l]) != LineKind::SlideChange) continue;
        if (l > first) {
            static thread_local Region region;
            regionOf(verse.lines, first, l, format, region);
            out << RegionLayout(region, format).lines();
        }
        if (l < verse.lines.size()) out << QString();
        first = l + 1;
    }
    if (out == verse.lines) return stored;
    QString text = out.join(QStringLiteral("\r\n"));
    if (verse.trailingSlideChange) text += QStringLiteral("\r\n");
    return text;
}

} // namespace verse
