// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The random driver: runs the program's form on the headless platform, feeds
// it seeded random input in every view, checks the invariants after every
// event and, now and then, a paired check against a second form rebuilt from
// the same input. A quit starts a fresh form.
#pragma once

#include "platform/headless/HeadlessHost.h"
#include "shell/Velmiaunit1.h"
#include "tools/soak/Event.h"
#include "tools/soak/Invariants.h"
#include "tools/soak/PartFolder.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace velmia::soak {

struct Options {
    uint64_t seed = 1;
    long ticks = 1000;
    double eventsPerTick = 1.0;
    std::filesystem::path artwork; // the default pictures
    std::filesystem::path outDir;  // where failure replays go (default: the current folder)
    long checkEvery = 800;         // mean ticks between paired checks (0: none)
    long formTicks = 3000;         // a form this old is asked to quit
    double stepLimitSeconds = 2.0; // a slower event is a hang
    bool keepGoing = false;        // after a failure: start a fresh form and go on
    bool quiet = false;            // no report on standard error, no replay file
    // A second form runs beside the first on the same events, its Timer1 in
    // batches (asleep until a tick can change something), and both are
    // compared after every event.
    bool batchedTwin = false;
    // A second form gets the same input in bursts: the events the first form
    // gets one per tick (2 to 6 of them while each asks for a redraw or
    // changes the view) arrive within one tick, and the two forms must end
    // alike, the tick count aside; they are compared after every group of
    // events and every tick between them. Events whose effect depends on the
    // ticks between them by design (right presses, double-clicks, x in the
    // close-up) come alone.
    bool burstTwin = false;
    std::set<std::string> skipped; // names of checks and invariants not applied
};

// One form on its own headless platform.
// Reads a replay file; the failure it records (if any) goes to `failure`.
// Throws std::runtime_error naming the line that is not an event.
std::vector<Event> ReadReplay(const std::filesystem::path& file, std::string* failure = nullptr);
void WriteReplay(const std::filesystem::path& file, const std::vector<Event>& events, const std::string& header);

// The shortest part of a failing replay that still fails the same way (the
// events are removed in halving chunks while the failure stays).
std::vector<Event> Shrink(const Options& options, std::vector<Event> events, const std::string& failure);

// `count` key presses of the driver's random input for `seed`: characters
// and keys that make none (with Shift and Ctrl), in the proportions and from
// the sets the driver chooses them, without the pointer and the dialogs.
std::vector<Event> RandomKeyEvents(uint64_t seed, size_t count);
// The character a key that makes none also delivers (Enter: 13), or 0.
char CharacterOfKey(int vk);

struct Session {
    std::unique_ptr<headless::HeadlessHost> host;
    TSvelmia* form = nullptr;
    std::unique_ptr<Baseline> baseline;

    // batched: Timer1 runs in batches on the host's clock (see
    // HeadlessHost::SetTickBatching), one tick event being 100 ms.
    explicit Session(bool batched = false);
    ~Session();
    void Activate() const;
    bool Alive() const { return form && !host->Closed(); }
};

class Driver {
public:
    explicit Driver(Options options);
    ~Driver();

    // A seeded run of options.ticks ticks. Returns the exit status.
    int Run();
    // Runs the events of a replay file on a fresh form. Returns the exit status.
    int Replay(const std::filesystem::path& file);
    // Runs events on a fresh form; true when one of them failed.
    bool ReplayEvents(const std::vector<Event>& events);
    // The run of options.ticks ticks with the burst twin.
    int RunBursts();
    // A hash of the current form's window picture and of the counts so far:
    // equal for two runs of the same seed.
    uint64_t Fingerprint();
    // The names of the failures seen so far.
    const std::map<std::string, long>& Failures() const { return failures_; }

private:
    // Delivering events.
    void Deliver(const Event& e);
    void ApplyInput(Session& s, const Event& e);
    void ApplyCheckMainSide(Session& s, const Event& e);
    void ApplyCheckReferenceSide(Session& s, const Event& e);
    void RunCheck(const Event& e);
    void Tick(Session& s, int n);
    void RedrawRequest(Session& s);
    std::unique_ptr<Session> Rebuild();
    void Restart();

    // Choosing events.
    Event NextInput();
    std::optional<Event> NextCheck();
    Answer AnswerFor(int ch);
    uint64_t Random(uint64_t n) { return n ? rng_() % n : 0; }
    bool Chance(double p) { return double(rng_() >> 11) * 0x1.0p-53 < p; }

    // Checking.
    void AfterEvent(const Event& e, double cpuSeconds, double wallSeconds);
    bool Compare(Session& a, Session& b, const std::string& name, const Event& e);
    // The batched twin against the main form: the same window at every
    // moment, and the same state once its sleeping ticks are counted in.
    void CompareSchedules(const Event& e);
    // The burst twin: a group of events delivered one per tick to the main
    // form, then as a burst to the twin; one event alone; a tick of both.
    void DeliverGroup();
    void DeliverAlone(const Event& e);
    void TickBoth();
    bool Burstable(const Event& e) const;
    void CompareBursts(const Event& e, bool pictures);
    void Fail(const std::string& name, const std::string& detail);
    void TrackView();
    std::string ViewName(const Session& s) const;
    bool Idle(const Session& s) const;
    bool CheckApplies(const Session& session, const Event& e) const;

    void PrintSummary(double seconds) const;

    Options options_;
    std::unique_ptr<PartFolder> folder_;
    std::filesystem::path previousDir_;
    std::unique_ptr<Session> main_;
    std::unique_ptr<Session> batched_; // options_.batchedTwin
    std::unique_ptr<Session> burst_;   // options_.burstTwin
    long groups_ = 0;
    long burstEvents_ = 0;
    std::mt19937_64 rng_;

    std::vector<Event> log_; // since the current form started
    struct Logged {
        long step;
        std::string text;
    };
    std::deque<Logged> recent_; // the last 50 events of the run
    long step_ = 0;
    long ticks_ = 0;
    long formStartTick_ = 0;
    long lastRightPressTick_ = -100;
    long restarts_ = 0;
    long reportedErrors_ = 0;
    std::map<std::string, long> kindCounts_;
    std::map<std::string, long> views_;
    std::map<std::string, long> transitions_;
    std::map<std::string, long> checksRun_;
    std::map<std::string, long> failures_;
    std::string lastView_;
    bool failed_ = false;
    bool stop_ = false;
    bool restartPending_ = false;
    bool replaying_ = false;
};

} // namespace velmia::soak
