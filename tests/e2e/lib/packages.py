"""The Linux packages: what `cmake --install` stages judged by the validators, the .deb and the .rpm judged by
lintian and rpmlint, and the .deb installed with apt-get, played from /usr and removed again."""

import os
import re
import shutil
import subprocess
from pathlib import Path

from .bench import check

APP_ID = "org.zimblet.Zimblet"
SUDO = [] if os.geteuid() == 0 else ["sudo"]

# Each validator: its command ({stage}: the `cmake --install` prefix, {deb}, {rpm}: the packages), the lines it may
# print, and its exit codes; any other line or exit code fails the row.
VALIDATORS = [
    (["desktop-file-validate", f"{{stage}}/share/applications/{APP_ID}.desktop"], [], (0,)),
    # Debian 12's appstreamcli 0.16 knows no <developer> yet; Debian 13's 1.0 fails the metadata, and lintian warns,
    # for its only warning: the project has no homepage yet.
    (["appstreamcli", "validate", "--no-net", f"{{stage}}/share/metainfo/{APP_ID}.metainfo.xml"],
     [r"✔ Validation was successful(: infos: 1)?(, )?(pedantic: \d+)?", r"I: \S+: unknown-tag developer",
      r"W: \S+: url-homepage-missing", r"✘ Validation failed: warnings: 1, pedantic: 1"], (0, 3)),
    (["man", "--warnings", "-l", "{stage}/share/man/man6/zimblet.6.gz"], None, (0,)),  # groff's warnings on stderr
    (["lintian", "{deb}"], ["running with root privileges is not recommended!", "W: zimblet: appstream-metadata-"
                            'validation-failed Problems reported by "appstreamcli validate-tree".'], (0,)),
    # With Fedora's setting for manual pages (gzip); signing is the distributor's, the project has no homepage
    # yet, Debian's rpmlint knows no licence (Fedora's lists MIT), and rpmlint 2.4 looks for a manual page named
    # after its section, not the program.
    (["rpmlint", "-c", str(Path(__file__).with_name("rpmlint.toml")), "{rpm}"],
     [r"=+ rpmlint session starts =+", r"rpmlint: [\d.]+", "configuration:", r"/\S+\.toml", r"checks: \d+, packages: 1",
      r"zimblet\.x86_64: (E: no-signature|W: no-url-tag|W: invalid-license MIT|W: no-manual-page-for-binary zimblet)",
      r"1 packages and 0 specfiles checked; 1 errors, \d warnings.*"], (64,)),
]


def validate(command, allowed, statuses):
    """Each line of the command's output must be one it may print (None: stdout is the page itself, only stderr
    counts)."""
    done = subprocess.run(command, capture_output=True, text=True, timeout=300)
    said = done.stderr if allowed is None else done.stdout + done.stderr
    stray = [line for line in said.splitlines() if line.strip() and
             not any(re.fullmatch(pattern, line.strip()) for pattern in allowed or [])]
    check(done.returncode in statuses and not stray, f"{command[0]}: exit {done.returncode}: {stray}")
    check(allowed is not None or "ZIMBLET_FORCE_X11" in done.stdout, "man shows no page")


def listing(command):
    """The files of a package, as absolute paths, without the folders."""
    out = subprocess.run(command, check=True, capture_output=True, text=True, timeout=60).stdout
    return {line.split()[-1].lstrip(".") for line in out.splitlines() if not line.startswith("d")}


def packages_of(build_dir):
    found = {kind: sorted(build_dir.glob(f"zimblet*.{kind}")) for kind in ("deb", "rpm")}
    check(all(len(paths) == 1 for paths in found.values()), f"not one .deb and one .rpm in {build_dir}: {found}")
    return found["deb"][0], found["rpm"][0]


def checks(build_dir):
    """A fresh `cmake --install`, then each validator over it and the packages, then the two packages' files: the
    same in both, every icon among them."""
    stage, (deb, rpm) = build_dir / "e2e-packages" / "stage", packages_of(build_dir)

    def install_stage():
        shutil.rmtree(stage, ignore_errors=True)
        subprocess.run(["cmake", "--install", build_dir, "--prefix", stage], check=True, capture_output=True)

    def same_files():
        ours, theirs = listing(["dpkg-deb", "-c", deb]), listing(["rpm", "-qlpv", rpm])
        check(ours == theirs, f"only in the .deb: {sorted(ours - theirs)}; only in the .rpm: {sorted(theirs - ours)}")
        icons = {f"/usr/share/icons/hicolor/{n}x{n}/apps/{APP_ID}.png" for n in (16, 24, 32, 48, 64, 128, 256)}
        check(icons <= ours, f"the packages lack {sorted(icons - ours)}")
    return [install_stage, *(lambda command=command, rest=rest: validate(
        [part.format(stage=stage, deb=deb, rpm=rpm) for part in command], *rest) for command, *rest in VALIDATORS),
        same_files]


def apt_get(*args):
    done = subprocess.run([*SUDO, "env", "DEBIAN_FRONTEND=noninteractive", "apt-get", "-o",
                           "DPkg::Lock::Timeout=600", "-y", *args], capture_output=True, text=True, timeout=900)
    check(done.returncode == 0, f"apt-get {' '.join(args)}: {done.stdout[-600:]}{done.stderr[-600:]}")


def install(build_dir):
    """apt-get installs the .deb with what it depends on; the installed program names the package's version and
    shows its help."""
    deb = packages_of(build_dir)[0]
    apt_get("install", "--no-install-recommends", str(deb.resolve()))
    version = subprocess.run(["dpkg-deb", "-f", deb, "Version"], capture_output=True, text=True).stdout.strip()
    said, helped = (subprocess.run(["/usr/bin/zimblet", option], capture_output=True, text=True, timeout=10)
                    for option in ("--version", "--help"))
    check(said.returncode == 0 and said.stdout == f"zimblet {version}\n", f"--version said {said.stdout!r}")
    check(helped.returncode == 0 and "Escape" in helped.stdout, f"--help said {helped.stdout!r}")


def remove(build_dir):
    """apt-get purge leaves none of the package's files, nor folders of its own, under /usr."""
    files = listing(["dpkg-deb", "-c", packages_of(build_dir)[0]]) | {"/usr/share/zimblet", "/usr/share/doc/zimblet"}
    apt_get("purge", "zimblet")
    left = sorted(path for path in files if Path(path).exists())
    check(not left, f"left behind: {left}")
