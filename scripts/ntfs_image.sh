# Sourced by the scripts that fill an NTFS volume image through ntfs-3g (FUSE, as root).
#   ntfs_mount IMAGE FOLDER [OPTIONS]  mounts it; the driver runs in the foreground (its pid
#                                      in ntfs_driver), so that its end says the image is
#                                      written; fails when it does not mount within 30 s
#   ntfs_unmount FOLDER                unmounts it and waits for the driver to end
ntfs_driver=""

ntfs_mount() {
  local image=$1 folder=$2 outside
  outside=$(stat -c %d "$folder")
  ntfs-3g -o "no_detach${3:+,$3}" "$image" "$folder" >/dev/null 2>&1 &
  ntfs_driver=$!
  for _ in $(seq 3000); do
    [ "$(stat -c %d "$folder")" != "$outside" ] && return 0
    kill -0 "$ntfs_driver" 2>/dev/null || break
    sleep 0.01
  done
  echo "ntfs-3g did not mount $image" >&2
  return 1
}

ntfs_unmount() {
  [ -n "$ntfs_driver" ] || return 0
  umount "$1" 2>/dev/null || kill "$ntfs_driver" 2>/dev/null
  wait "$ntfs_driver" 2>/dev/null
  ntfs_driver=""
}
