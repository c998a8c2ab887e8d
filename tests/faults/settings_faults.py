#!/usr/bin/env python3
"""Saves the settings file under faults and checks that it always survives whole.

Drives the game's own save code through `cataclysm-kit rep set` and, after every fault,
reads the file back with `cataclysm-kit rep dump`: it must load and show either the old
contents or the new ones, never a mix and never nothing.

  kill      SIGKILL at a random moment of a save, many times over
  full      the settings folder on a tiny tmpfs, filled to every level of free space, and out
            of inodes
  readonly  the settings folder on a tmpfs mounted read-only
  players   an ordinary player (nobody) of a game folder they cannot write, whose own
            settings folder is shut or cannot be made: `rep where` names the problem

The last three need root; full and readonly also mount a tmpfs (in a private mount namespace:
run the script under `unshare -m`). Without that they are skipped with a message.
Every random choice comes from --seed, so a failing run can be repeated.
"""
import argparse
import contextlib
import os
import pwd
import random
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

PAGE = 4096


class Failure(Exception):
    pass


class CannotMount(Exception):
    pass


class Kit:
    def __init__(self, bin_dir):
        self.path = os.path.join(bin_dir, "cataclysm-kit")

    def run(self, *args, **options):
        return subprocess.run([self.path, *args], capture_output=True, text=True, **options)

    def dump(self, rep):
        """The file's contents as the kit shows them, or None when it does not load."""
        done = self.run("rep", "dump", rep)
        return done.stdout if done.returncode == 0 else None

    def set(self, rep, key, value):
        return self.run("rep", "set", rep, key, str(value))


def temporaries(folder):
    return [name for name in os.listdir(folder) if ".tmp-" in name]


def expected_after(kit, rep, scratch, key, value):
    """What the file shows after a save that is not disturbed."""
    shutil.copyfile(rep, scratch)
    done = kit.set(scratch, key, value)
    if done.returncode != 0:
        raise Failure(f"an undisturbed save failed: {done.stderr.strip()}")
    return kit.dump(scratch)


def judge(kit, rep, old, new, counts, what):
    now = kit.dump(rep)
    if now is None:
        raise Failure(f"{what}: the settings file no longer loads")
    if now not in (old, new):
        raise Failure(f"{what}: the settings file holds neither the old nor the new values")
    counts["old" if now == old else "new"] += 1


def kill_test(kit, work, forged, rounds, rng):
    folder = os.path.join(work, "kill", "config")
    os.makedirs(folder, exist_ok=True)
    rep = os.path.join(folder, "bc.rep")
    scratch = os.path.join(work, "kill", "scratch.rep")
    shutil.copyfile(forged, rep)

    # How long one save takes, so that the kills spread over all of it.
    durations = []
    for i in range(15):
        start = time.perf_counter()
        kit.set(scratch if os.path.exists(scratch) else rep, "HighScore", i)
        durations.append(time.perf_counter() - start)
        shutil.copyfile(rep, scratch)
    save_time = statistics.median(durations)

    counts = {"old": 0, "new": 0, "killed": 0, "finished": 0, "temporaries": 0}
    for round_number in range(rounds):
        # Mostly a change of one value; now and then a new key, which reshapes the file.
        key = "HighScore" if rng.random() < 0.8 else f"Extra{rng.randrange(40)}"
        value = rng.randrange(-2**31, 2**31)
        old = kit.dump(rep)
        new = expected_after(kit, rep, scratch, key, value)
        process = subprocess.Popen([kit.path, "rep", "set", rep, key, str(value)],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(rng.uniform(0, 1.2 * save_time))
        process.send_signal(signal.SIGKILL)
        process.wait()
        counts["killed" if process.returncode == -signal.SIGKILL else "finished"] += 1
        judge(kit, rep, old, new, counts, f"kill round {round_number}")
        for name in temporaries(folder):
            counts["temporaries"] += 1
            os.unlink(os.path.join(folder, name))
    print(f"kill: {rounds} saves, one save takes {save_time * 1000:.1f} ms; "
          f"{counts['killed']} killed while running, {counts['finished']} finished first; "
          f"file afterwards: {counts['old']} old, {counts['new']} new, 0 broken; "
          f"{counts['temporaries']} temporary files left by the kills")


@contextlib.contextmanager
def tmpfs(folder, options):
    """A tmpfs on folder for the length of a with block; CannotMount when there is none."""
    os.makedirs(folder, exist_ok=True)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", options, "tmpfs", folder],
                      capture_output=True).returncode != 0:
        raise CannotMount()
    try:
        yield
    finally:
        subprocess.run(["umount", folder], capture_output=True)


def fill(path):
    """Writes zeros to path until the file system is full."""
    with open(path, "wb", buffering=0) as filler:
        with contextlib.suppress(OSError):
            while True:
                filler.write(bytes(PAGE))


def save_refused_or_done(kit, rep, key, value, old, new, counts, what):
    """A save that fails says why in one line and leaves the old file; one that reports success
    leaves the new one."""
    done = kit.set(rep, key, value)
    if done.returncode != 0:
        counts["refused"] += 1
        if len(done.stderr.strip().splitlines()) != 1:
            raise Failure(f"{what}: a refused save did not print one line on stderr")
    judge(kit, rep, old, new, counts, what)
    if done.returncode == 0 and kit.dump(rep) != new:
        raise Failure(f"{what}: a save that reported success left the old values")


def full_test(kit, work, forged, rng):
    mount = os.path.join(work, "full", "config")
    scratch = os.path.join(work, "full", "scratch.rep")
    big = os.path.join(work, "full", "big.rep")
    # The forged file grown by many keys to span several pages, on a tmpfs, where the save's
    # flushes cost nothing.
    with tmpfs(mount, "size=1m"):
        shutil.copyfile(forged, os.path.join(mount, "big.rep"))
        for i in range(300):
            if kit.set(os.path.join(mount, "big.rep"), f"ModderKey{i:04d}", i).returncode != 0:
                raise Failure("cannot grow the settings file")
        shutil.copyfile(os.path.join(mount, "big.rep"), big)
    counts = {"old": 0, "new": 0, "refused": 0, "rounds": 0}

    def save_into(source, options, take_space, key, value, what):
        with tmpfs(mount, options):
            rep = os.path.join(mount, "bc.rep")
            shutil.copyfile(source, rep)
            take_space()
            old = kit.dump(rep)
            new = expected_after(kit, rep, scratch, key, value)
            save_refused_or_done(kit, rep, key, value, old, new, counts, what)
            counts["rounds"] += 1
            if temporaries(mount):
                raise Failure(f"{what}: a save left its temporary file behind")

    for source in (forged, big):
        # Free space from none at all up to a little more than a whole new file needs.
        for free_pages in range(0, os.path.getsize(source) // PAGE + 3):
            for slack in (0, 1000, 3000):
                def leave_free():
                    filler = os.path.join(mount, "filler")
                    fill(filler)
                    os.truncate(filler, max(0, os.path.getsize(filler) - free_pages * PAGE - slack))
                key = "HighScore" if rng.random() < 0.5 else f"Extra{rng.randrange(9)}"
                save_into(source, "size=256k,nr_inodes=64", leave_free, key, rng.randrange(1 << 30),
                          f"disk full, {free_pages} pages free")

    def take_every_inode():
        for i in range(10):
            try:
                open(os.path.join(mount, f"taken{i}"), "wb").close()
            except OSError:
                break
    save_into(forged, "size=256k,nr_inodes=3", take_every_inode, "HighScore", 77, "no inode left")
    print(f"full: {counts['rounds']} saves into a full tmpfs (a {os.path.getsize(forged)}-byte and "
          f"a {os.path.getsize(big)}-byte file, 0 to all pages free, and no inode left); "
          f"{counts['refused']} refused with one line on stderr; file afterwards: "
          f"{counts['old']} old, {counts['new']} new, 0 broken")


def readonly_test(kit, work, forged):
    mount = os.path.join(work, "readonly", "config")
    counts = {"old": 0, "new": 0, "refused": 0}
    with tmpfs(mount, "size=64k"):
        rep = os.path.join(mount, "bc.rep")
        shutil.copyfile(forged, rep)
        subprocess.run(["mount", "-o", "remount,ro", mount], check=True)
        old = kit.dump(rep)
        for i, key in enumerate(["HighScore", "Brightness", "NewKey", "SoundEnabled", "X" * 300]):
            save_refused_or_done(kit, rep, key, i, old, None, counts, f"read-only, {key[:20]}")
    if counts["refused"] != 5:
        raise Failure("a save into a read-only folder reported success")
    print("readonly: 5 saves into a read-only folder, 5 refused with one line on stderr; file "
          f"afterwards: {counts['old']} old, 0 broken")


def players_test(kit, forged):
    # Below a folder of /tmp that everyone may pass through, since the work folder may not be.
    parent = tempfile.mkdtemp(prefix="settings-players-")
    try:
        os.chmod(parent, 0o755)
        # A game folder of root's with a copy of the kit, which takes the folder it runs from
        # for the game's.
        game = os.path.join(parent, "game")
        os.makedirs(os.path.join(game, "base", "config"))
        shutil.copyfile(forged, os.path.join(game, "base", "config", "bc.rep"))
        shutil.copy(kit.path, game)
        kit = Kit(game)
        nobody = pwd.getpwnam("nobody")
        home = os.path.join(parent, "home")
        config = os.path.join(home, ".config")
        own = os.path.join(config, "brindles-cataclysm")

        def where(config_owner, own_mode=None):
            """What `rep where` says on stderr as nobody, in a fresh home whose .config belongs
            to config_owner and whose own settings folder, when given a mode, exists shut."""
            shutil.rmtree(home, ignore_errors=True)
            os.makedirs(config)
            os.chown(home, nobody.pw_uid, nobody.pw_gid)
            os.chown(config, config_owner.pw_uid, config_owner.pw_gid)
            if own_mode is not None:
                os.mkdir(own, own_mode)
                os.chown(own, nobody.pw_uid, nobody.pw_gid)
            done = subprocess.run(
                ["setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}",
                 "--clear-groups", "--", "env", "-u", "XDG_CONFIG_HOME", f"HOME={home}",
                 kit.path, "rep", "where"], capture_output=True, text=True)
            if done.returncode != 0 or done.stdout != os.path.join(own, "bc.rep") + "\n":
                raise Failure(f"rep where as nobody: {done.returncode} {done.stdout!r} "
                              f"{done.stderr!r}")
            return done.stderr

        cannot = "cataclysm-kit: the game cannot save its settings there: "
        cases = [
            ("a folder shut to its player", (nobody, 0o000),
             f"cannot read {own}/bc.rep: Permission denied"),
            ("a .config folder of root's", (pwd.getpwuid(0),),
             f"cannot make folders in {config}: Permission denied"),
        ]
        for name, way, problem in cases:
            said = where(*way)
            if said != f"{cannot}{problem}\n":
                raise Failure(f"players, {name}: rep where said {said!r}")
        if where(nobody) != "":
            raise Failure("players: rep where names a problem where there is none")
    finally:
        shutil.rmtree(parent, ignore_errors=True)
    print(f"players: nobody's own settings folder {len(cases)} ways in the way "
          f"({', '.join(name for name, _, _ in cases)}): rep where names each problem, and none "
          f"once the way is clear")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("bin_dir", help="the build's bin folder (cataclysm-kit, base/)")
    parser.add_argument("work", help="a folder for the test's files; emptied first")
    parser.add_argument("--kills", type=int, default=300, help="saves to kill (300)")
    parser.add_argument("--seed", type=int, default=9)
    args = parser.parse_args()

    kit = Kit(args.bin_dir)
    forged = os.path.join(args.bin_dir, "base", "config", "bc.rep")
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    rng = random.Random(args.seed)
    try:
        kill_test(kit, args.work, forged, args.kills, rng)
        if os.geteuid() != 0:
            print("players: skipped: needs root, to play as nobody")
            raise CannotMount()
        players_test(kit, forged)
        full_test(kit, args.work, forged, rng)
        readonly_test(kit, args.work, forged)
    except CannotMount:
        print("full, readonly: skipped: cannot mount a tmpfs here (needs root in a private "
              "mount namespace: run under `unshare -m`)")
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
