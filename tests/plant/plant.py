#!/usr/bin/env python3
"""Plants faults in the code one at a time and tells which the suite catches.

    tests/plant/plant.py [FAULTS ...] [--build DIR] [--only TEXT]

Each FAULTS file (tests/plant/*.faults when none is named) holds faults as
blocks:

    == folder: what the fault does
    src/folder/file.cpp
    -the line as it stands (one or more lines, each after a '-')
    +what it becomes (none, one or more lines, each after a '+')

For each fault the script replaces the lines (which must stand exactly once
in the file), builds the build folder (build/ by default, configured by
scripts/setup.sh), runs the whole suite under CTest on the offscreen
platform, and puts the file back, whatever happened. A fault is caught when
the suite fails; one that does not build is reported apart (a fault should be
plausible code). It prints a line per fault and the figures per folder. It
changes nothing in the end: every file is restored, even on Ctrl+C. It is not
run by CI: it takes a build and a suite run per fault.
"""
import argparse
import collections
import glob
import os
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def read_faults(path):
    faults, fault = [], None
    with open(path, encoding='utf-8') as f:
        for raw in f:
            line = raw.rstrip('\n')
            if line.startswith('== '):
                folder, _, what = line[3:].partition(':')
                fault = {'folder': folder.strip(), 'what': what.strip(), 'file': None,
                         'old': [], 'new': [], 'source': path}
                faults.append(fault)
            elif fault is None or line.startswith('#') or (not line and fault['file'] is None):
                continue
            elif fault['file'] is None:
                fault['file'] = line.strip()
            elif line.startswith('-'):
                fault['old'].append(line[1:])
            elif line.startswith('+'):
                fault['new'].append(line[1:])
    return faults


def run(command, timeout):
    try:
        return subprocess.run(command, cwd=ROOT, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return 'timeout'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('faults', nargs='*')
    parser.add_argument('--build', default=os.path.join(ROOT, 'build'))
    parser.add_argument('--only', default='', help='only faults whose line holds this text')
    args = parser.parse_args()
    files = args.faults or sorted(glob.glob(os.path.join(ROOT, 'tests', 'plant', '*.faults')))
    faults = [f for path in files for f in read_faults(path)
              if args.only in f['folder'] + ': ' + f['what']]
    env_build = ['cmake', '--build', args.build, '-j', str(os.cpu_count() or 2)]
    env_test = ['ctest', '--test-dir', args.build, '-j', str(os.cpu_count() or 2),
                '--stop-on-failure', '--timeout', '300']
    os.environ.setdefault('QT_QPA_PLATFORM', 'offscreen')
    # A kill restores the file like Ctrl+C does.
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(KeyboardInterrupt()))
    # Faults are judged against a suite that passes: a failing one would
    # call every fault caught.
    if run(env_build, 3600) != 0 or run(env_test, 3600) != 0:
        print('The suite fails, or does not build, before any fault: nothing planted.')
        return 1
    tally = collections.OrderedDict()
    for n, fault in enumerate(faults, 1):
        path = os.path.join(ROOT, fault['file'])
        with open(path, encoding='utf-8') as f:
            original = f.read()
        old = '\n'.join(fault['old']) + '\n'
        new = '\n'.join(fault['new']) + ('\n' if fault['new'] else '')
        label = f"{fault['folder']}: {fault['what']}"
        if original.count(old) != 1:
            print(f'{n:3} STALE    {label} (its lines stand {original.count(old)} times)')
            tally.setdefault(fault['folder'], [0, 0, 0])[2] += 1
            continue
        started = time.time()
        try:
            with open(path, 'w', encoding='utf-8') as f:
                f.write(original.replace(old, new))
            built = run(env_build, 1800)
            outcome = 'NOBUILD' if built != 0 else (
                'caught' if run(env_test, 1800) != 0 else 'MISSED')
        finally:
            with open(path, 'w', encoding='utf-8') as f:
                f.write(original)
        counts = tally.setdefault(fault['folder'], [0, 0, 0])
        if outcome == 'caught':
            counts[0] += 1
        elif outcome == 'MISSED':
            counts[1] += 1
        else:
            counts[2] += 1
        print(f'{n:3} {outcome:8} {label} ({time.time() - started:.0f} s)', flush=True)
    run(env_build, 1800)  # the build as the code stands again
    caught = sum(c[0] for c in tally.values())
    judged = sum(c[0] + c[1] for c in tally.values())
    print()
    for folder, (c, m, other) in tally.items():
        extra = f', {other} not judged' if other else ''
        print(f'{folder:12} {c} of {c + m} caught{extra}')
    if judged:
        print(f'{"all":12} {caught} of {judged} caught ({100 * caught / judged:.0f} %)')
    return 0


if __name__ == '__main__':
    sys.exit(main())
