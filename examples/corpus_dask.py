#!/usr/bin/env python3
"""Hyphenates a folder of text or HTML files with Dask, one output file per
input, on worker processes of this machine or of a cluster.

    python3 examples/corpus_dask.py pages/ hyphenated/ --html --workers 4
    python3 examples/corpus_dask.py pages/ hyphenated/ --scheduler tcp://host:8786

Without --scheduler, a distributed.LocalCluster of --workers processes runs
here. With it, the files are hyphenated wherever the cluster's workers are
(started with dask-scheduler and dask-worker, with hyph installed on each);
they must all see INPUT and OUTPUT at the same paths, as on a shared file
system. The hyphenator goes to each worker pickled: a language by its name
(the worker uses the library's own tables), your own --patterns file by its
contents. Each file is streamed, so memory stays bounded however large it is,
and written under a temporary name that replaces OUTPUT's file only when it
is complete.
"""
import argparse
import os
import pathlib
import sys
import tempfile
import time

import dask.bag
import distributed

import hyph


def hyphenate_one(source, input_dir, output_dir, hyphenator, options):
    """Hyphenates the file ``source`` into the same place under
    ``output_dir``; returns the bytes read and written."""
    target = pathlib.Path(output_dir) / pathlib.Path(source).relative_to(input_dir)
    target.parent.mkdir(parents=True, exist_ok=True)
    descriptor, temporary = tempfile.mkstemp(dir=target.parent, prefix=".hyph-")
    try:
        with open(source, "rb") as src, os.fdopen(descriptor, "wb") as dst:
            hyph.hyphenate_file(src, dst, hyphenator, **options)
            written = dst.tell()
        os.chmod(temporary, 0o666 & ~current_umask())
        os.replace(temporary, target)
    except BaseException:
        os.unlink(temporary)
        raise
    return os.path.getsize(source), written


def current_umask():
    mask = os.umask(0)
    os.umask(mask)
    return mask


def files_under(folder, suffixes):
    return sorted(str(p) for p in pathlib.Path(folder).rglob("*")
                  if p.is_file() and (not suffixes or p.suffix in suffixes))


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("input", help="folder of files to hyphenate")
    parser.add_argument("output", help="folder to write the hyphenated files to")
    parser.add_argument("-l", "--lang", default="en-us", help="language (default en-us)")
    parser.add_argument("--patterns", help="a pattern file of your own, for --lang's letters")
    parser.add_argument("--html", action="store_true", help="the files are HTML")
    parser.add_argument("-s", "--separator", default="\u00ad",
                        help="inserted at each break (default U+00AD SOFT HYPHEN)")
    parser.add_argument("--suffix", action="append", default=[],
                        help="only files with this suffix (.html; repeatable)")
    parser.add_argument("--scheduler", help="address of a Dask scheduler (default: a local cluster)")
    parser.add_argument("--workers", type=int, default=os.cpu_count(),
                        help="worker processes of the local cluster (default: one per processor)")
    args = parser.parse_args(argv)

    patterns = pathlib.Path(args.patterns).read_bytes() if args.patterns else None
    hyphenator = hyph.Hyphenator(args.lang, patterns=patterns)  # fails here, not on a worker
    options = {"separator": args.separator, "html": args.html}
    input_dir = os.path.abspath(args.input)
    output_dir = os.path.abspath(args.output)
    sources = files_under(input_dir, args.suffix)
    if not sources:
        sys.exit(f"corpus_dask: no files in {args.input}")

    if args.scheduler:
        client = distributed.Client(args.scheduler)
        cluster = None
    else:
        cluster = distributed.LocalCluster(n_workers=args.workers, threads_per_worker=1,
                                           processes=True, dashboard_address=None)
        client = distributed.Client(cluster)
    try:
        workers = len(client.scheduler_info()["workers"])
        start = time.perf_counter()
        # A few partitions a worker: big enough that a task is worth sending,
        # small enough that the work stays balanced.
        bag = dask.bag.from_sequence(sources, npartitions=min(len(sources), 4 * max(workers, 1)))
        sizes = bag.map(hyphenate_one, input_dir, output_dir, hyphenator, options).compute()
        seconds = time.perf_counter() - start
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    read = sum(r for r, _ in sizes)
    print(f"corpus_dask: {len(sources)} files, {read / 1e6:.1f} MB in {seconds:.2f} s "
          f"({read / 1e6 / seconds:.1f} MB/s) on {workers} workers")


if __name__ == "__main__":
    main()
