#!/usr/bin/env python3
"""Saves the settings file under faults and checks that it always survives whole.

Drives the game's own save code through `cataclysm-kit rep set` and, after every fault,
reads the file back with `cataclysm-kit rep dump`: it must load and show either the old
contents or the new ones, never a mix and never nothing.

  kill      SIGKILL at a random moment of a save, many times over
  links     a settings file at the end of 40 symbolic links, the system's limit, and of 41
  full      the settings folder on a tiny tmpfs, filled to every level of free space, and out
            of inodes
  readonly  the settings folder on a tmpfs mounted read-only
  players   an ordinary player (nobody) of a game folder they cannot write, whose own
            settings folder is a file, shut, or cannot be made: `rep where` names the problem
  usr       a game folder under /tmp whose base/ links to a copy below /usr/local, on a
            tmpfs: root's settings still go to root's own file

The last four need root; full, readonly and usr also mount a tmpfs (in a private mount
namespace: run the script under `unshare -m`). Without that they are skipped with a message.
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

    def run(self, *args):
        return subprocess.run([self.path, *args], capture_output=True, text=True)

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
    if now == old:
        counts["old"] += 1
    elif now == new:
        counts["new"] += 1
    else:
        raise Failure(f"{what}: the settings file holds neither the old nor the new values")


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
        left = temporaries(folder)
        counts["temporaries"] += len(left)
        for name in left:
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
    """Writes zeros to path until the file system is full; returns how many were written."""
    written = 0
    with open(path, "wb", buffering=0) as filler:
        block = bytes(PAGE)
        while True:
            try:
                written += filler.write(block)
            except OSError:
                return written


def grown_settings(kit, forged, path, keys):
    """The forged file with many more keys, so that it spans several pages."""
    shutil.copyfile(forged, path)
    for i in range(keys):
        done = kit.set(path, f"ModderKey{i:04d}", i)
        if done.returncode != 0:
            raise Failure(f"cannot grow the settings file: {done.stderr.strip()}")


def expect_refused_or_done(kit, rep, key, value, old, new, counts, what):
    done = kit.set(rep, key, value)
    if done.returncode != 0:
        counts["refused"] += 1
        lines = done.stderr.strip().splitlines()
        if len(lines) != 1:
            raise Failure(f"{what}: a refused save printed {len(lines)} lines on stderr")
    judge(kit, rep, old, new, counts, what)
    if done.returncode == 0 and kit.dump(rep) != new:
        raise Failure(f"{what}: a save that reported success left the old values")


def full_test(kit, work, forged, rng):
    mount = os.path.join(work, "full", "config")
    scratch = os.path.join(work, "full", "scratch.rep")
    big = os.path.join(work, "full", "big.rep")
    # Grown on a tmpfs, where the save's flushes cost nothing.
    with tmpfs(mount, "size=1m"):
        grown_settings(kit, forged, os.path.join(mount, "big.rep"), 300)
        shutil.copyfile(os.path.join(mount, "big.rep"), big)
    counts = {"old": 0, "new": 0, "refused": 0, "rounds": 0}
    for source in (forged, big):
        size = os.path.getsize(source)
        # Free space from none at all up to a little more than a whole new file needs.
        for free_pages in range(0, size // PAGE + 3):
            for slack in (0, 1000, 3000):
                with tmpfs(mount, "size=256k,nr_inodes=64"):
                    rep = os.path.join(mount, "bc.rep")
                    shutil.copyfile(source, rep)
                    filler = os.path.join(mount, "filler")
                    fill(filler)
                    os.truncate(filler, max(0, os.path.getsize(filler) - free_pages * PAGE - slack))
                    key = "HighScore" if rng.random() < 0.5 else f"Extra{rng.randrange(9)}"
                    value = rng.randrange(1 << 30)
                    old = kit.dump(rep)
                    new = expected_after(kit, rep, scratch, key, value)
                    expect_refused_or_done(kit, rep, key, value, old, new, counts,
                                           f"disk full, {free_pages} pages free")
                    counts["rounds"] += 1
                    if temporaries(mount):
                        raise Failure("a refused save left its temporary file behind")
    # No inode left for the temporary file.
    with tmpfs(mount, "size=256k,nr_inodes=3"):
        rep = os.path.join(mount, "bc.rep")
        shutil.copyfile(forged, rep)
        for i in range(10):
            try:
                open(os.path.join(mount, f"taken{i}"), "wb").close()
            except OSError:
                break
        old = kit.dump(rep)
        new = expected_after(kit, rep, scratch, "HighScore", 77)
        expect_refused_or_done(kit, rep, "HighScore", 77, old, new, counts, "no inode left")
        counts["rounds"] += 1
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
            expect_refused_or_done(kit, rep, key, i, old, None, counts, f"read-only, {key[:20]}")
    if counts["refused"] != 5:
        raise Failure("a save into a read-only folder reported success")
    print(f"readonly: 5 saves into a read-only folder, {counts['refused']} refused with one line "
          f"on stderr; file afterwards: {counts['old']} old, 0 broken")


def links_test(kit, work, forged):
    folder = os.path.join(work, "links")
    os.makedirs(folder)
    target = os.path.join(folder, "bc.rep")
    for links in (40, 41):
        shutil.copyfile(forged, target)
        before = kit.dump(target)
        previous = "bc.rep"
        for i in range(1, links + 1):
            name = f"chain{links}-{i}"
            os.symlink(previous, os.path.join(folder, name))
            previous = name
        rep = os.path.join(folder, previous)
        loads = kit.dump(rep) is not None
        done = kit.set(rep, "HighScore", 4040)
        after = kit.dump(target)
        if links == 40:
            if not loads or done.returncode != 0 or "= 4040" not in after:
                raise Failure(f"40 links: the file does not load and save through them: "
                              f"{done.stderr.strip()}")
            if not os.path.islink(rep):
                raise Failure("40 links: the save replaced the first link with a file")
        elif loads or done.returncode == 0 or after != before:
            raise Failure("41 links: the file loads or saves through more links than the system "
                          "follows")
        elif "Too many levels of symbolic links" not in done.stderr:
            raise Failure(f"41 links: the refused save does not say why: {done.stderr.strip()}")
    print("links: 40 links in a row load and save into the file at their end, 41 neither load "
          "nor save")


def game_folder(parent, kit):
    """A game folder of root's below parent with a copy of the kit, which takes the folder it
    runs from for the game's; the caller gives it its base/."""
    game = os.path.join(parent, "game")
    os.makedirs(game)
    shutil.copy(kit.path, game)
    return game


def players_test(kit, forged):
    # Below a folder of /tmp that everyone may pass through, since the work folder may not be.
    parent = tempfile.mkdtemp(prefix="settings-players-")
    try:
        os.chmod(parent, 0o755)
        game = game_folder(parent, kit)
        os.makedirs(os.path.join(game, "base", "config"))
        shutil.copyfile(forged, os.path.join(game, "base", "config", "bc.rep"))
        kit = Kit(game)
        nobody = pwd.getpwnam("nobody")
        home = os.path.join(parent, "home")
        config = os.path.join(home, ".config")
        own = os.path.join(config, "brindles-cataclysm")

        def where():
            done = subprocess.run(
                ["setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}",
                 "--clear-groups", "--", "env", "-u", "XDG_CONFIG_HOME", f"HOME={home}",
                 kit.path, "rep", "where"], capture_output=True, text=True)
            if done.returncode != 0 or done.stdout != os.path.join(own, "bc.rep") + "\n":
                raise Failure(f"rep where as nobody: {done.returncode} {done.stdout!r} "
                              f"{done.stderr!r}")
            return done.stderr

        def fresh_home(config_owner):
            shutil.rmtree(home, ignore_errors=True)
            os.makedirs(config)
            os.chown(home, nobody.pw_uid, nobody.pw_gid)
            os.chown(config, config_owner.pw_uid, config_owner.pw_gid)

        def own_is_a_file():
            fresh_home(nobody)
            open(own, "w").close()

        def own_is_shut():
            fresh_home(nobody)
            os.mkdir(own, 0o000)
            os.chown(own, nobody.pw_uid, nobody.pw_gid)

        cases = [
            ("a file for the folder", own_is_a_file, f"{own} is not a folder"),
            ("a folder shut to its player", own_is_shut,
             f"cannot read {own}/bc.rep: Permission denied"),
            ("a .config folder of root's", lambda: fresh_home(pwd.getpwuid(0)),
             f"cannot make folders in {config}: Permission denied"),
        ]
        for name, make, problem in cases:
            make()
            said = where()
            if said != f"cataclysm-kit: the game cannot save its settings there: {problem}\n":
                raise Failure(f"players, {name}: rep where said {said!r}")
        fresh_home(nobody)
        if where() != "":
            raise Failure("players: rep where names a problem where there is none")
    finally:
        shutil.rmtree(parent, ignore_errors=True)
    print(f"players: nobody's own settings folder {len(cases)} ways in the way "
          f"({', '.join(name for name, _, _ in cases)}): rep where names each problem, and none "
          f"once the way is clear")


def in_private_mount_namespace():
    """True when the script's mounts are its own: `unshare -m` gave it a namespace that the
    process which started it does not share."""
    try:
        return os.readlink("/proc/self/ns/mnt") != os.readlink(f"/proc/{os.getppid()}/ns/mnt")
    except OSError:
        return False


def usr_test(kit, work, forged):
    # A tmpfs over a folder of the system's own is only for a namespace of the test's own.
    if not in_private_mount_namespace():
        raise CannotMount()
    below = "/usr/local/games" if os.path.isdir("/usr/local/games") else "/usr/local"
    folder = os.path.join(work, "usr")
    config_home = os.path.join(folder, "config")
    own = os.path.join(config_home, "brindles-cataclysm", "bc.rep")
    with tmpfs(below, "size=1m"):
        copy = os.path.join(below, "bc-copy", "base")
        os.makedirs(os.path.join(copy, "config"))
        installed = os.path.join(copy, "config", "bc.rep")
        shutil.copyfile(forged, installed)
        game = game_folder(folder, kit)
        os.symlink(copy, os.path.join(game, "base"))
        kit = Kit(game)
        environment = dict(os.environ, XDG_CONFIG_HOME=config_home)
        done = subprocess.run([kit.path, "rep", "where"], capture_output=True, text=True,
                              env=environment)
        if done.stdout != own + "\n":
            raise Failure(f"usr: rep where names {done.stdout.strip()!r}, not root's own file")
        before = kit.dump(installed)
        os.makedirs(os.path.dirname(own))
        shutil.copyfile(installed, own)
        if kit.set(done.stdout.strip(), "HighScore", 123).returncode != 0:
            raise Failure("usr: root's own file does not save")
        if kit.dump(installed) != before:
            raise Failure("usr: the file below /usr changed")
    print(f"usr: a game folder whose base/ links below {below}: root's settings go to root's "
          "own file, and the one below /usr stays as it was")


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
        links_test(kit, args.work, forged)
        if os.geteuid() != 0:
            print("players: skipped: needs root, to play as nobody")
            raise CannotMount()
        players_test(kit, forged)
        full_test(kit, args.work, forged, rng)
        readonly_test(kit, args.work, forged)
        usr_test(kit, args.work, forged)
    except CannotMount:
        print("full, readonly, usr: skipped: cannot mount a tmpfs here (needs root in a private "
              "mount namespace: run under `unshare -m`)")
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
