{ vxClient: sends a program's debug output to vxDebugger.

  Add vxClient to the uses clause, call vxConnect once with a caption, then
  vxDebug, vxBillboard, vxInfoLine and the others from any thread. Without a
  running viewer every call returns at once, raises nothing and sends nothing.

    uses vxClient;
    begin
      vxConnect('Main window');
      vxDebug('Started', vgInformation);
      vxDebugAt(dkProcEnter, vgGeneral, 'Loading', 'uMain', 'TMain.Load', 42);
    end.

  How it works. A helper thread, started on the first call, owns a hidden
  top-level window and its message loop. It asks for the viewer with the
  "vxClient2Debugger" handshake and listens to the viewer's
  "vxDebugger2Client" notices: vnAnswer and vnShown name the viewer, vnClosing
  forgets it. While no viewer is known it asks again every three seconds, so a
  viewer that starts later is found; a call never waits for an answer (only
  the first call of the program, which starts the thread, waits up to a
  quarter of a second for it, and vxWaitForViewer as long as asked; a viewer
  that answers later gets the records from then on). Each record is one
  WM_COPYDATA sent with SendMessage under a critical section, so records from
  several threads arrive whole and in each thread's order. When the unit
  meets a viewer that has not had this program's connect record yet (one that
  started or restarted after vxConnect), it sends the connect record first.
  At program end the unit sends the disconnect record and stops its thread.

  Texts are sent as 8-bit text in the system code page: in a Unicode Delphi
  the string parameters are converted by AnsiString(); texts longer than the
  record's fields (50 characters for the client ID, 255 for the others) are
  cut. Attached data is cut to vxMaxDataSize bytes.

  Compilers. Free Pascal 3.2 (in Delphi mode, with only the System, Windows
  and Classes units; built and run in the tests for Win64) and Delphi 7 to
  Delphi 12 for Win32, and Delphi XE2 to 12 for Win64. It keeps to what
  Delphi 7 already had: no records with methods, generics, inline variables,
  Exit(value), NativeInt or UnicodeString; default parameters and overloads
  only, which Delphi has had since version 4. Window messages and the thread
  function use the types of the Windows unit (HWND, WPARAM, LPARAM, LRESULT,
  DWORD), which are pointer-sized where Windows needs it in every version.
  The two calls whose declarations differ between Delphi versions
  (SendMessageTimeout's result parameter, the COPYDATASTRUCT record) are
  declared here instead. The thread is started with System.BeginThread, whose
  thread function returns Integer in Delphi and PtrInt in Free Pascal; the
  type vxThreadResult below chooses the right one. It has been compiled with
  Free Pascal only: in Delphi mode, and in its Delphi Unicode mode (string is
  UnicodeString there, as in Delphi 2009 and later) without a warning about
  string conversions; the Delphi versions above are what it is written for. }
unit vxClient;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  Windows, Classes;

type
  TvxGroup = (vgGeneral, vgInformation, vgWarning, vgError);
  TvxLevel = (vlLow, vlMedium, vlHigh);

const
  { Kinds of debug rows; each shows its own icon in the viewer. }
  dkString = 14;
  dkNote = 15;
  dkProcEnter = 16;
  dkProcExit = 17;
  dkSeparator = 18;
  dkException = 19;
  dkPoint = 20;
  dkColor = 21;
  dkCursor = 22;
  dkRect = 23;
  dkCheckpoint = 24;
  dkReminder = 25;
  dkMemoryDump = 26;
  dkComponent = 27;
  dkStringlist = 28;
  dkSystemInfo = 29;
  dkObject = 30;
  dkProperty = 31;
  dkUnknown = 32;

  { Attached data beyond this many bytes is cut. }
  vxMaxDataSize = 16 * 1024 * 1024;

{ Names this program to the viewer: its section shows Caption, under the
  program's path, with the debug level Level. ClientID names the section; by
  default it is the program's file name and its process id ('Demo-1234').
  Calling it again changes the caption and the level. }
procedure vxConnect(const Caption: string; Level: TvxLevel = vlLow;
  const ClientID: string = '');
{ Marks the section disconnected. The unit also does this at program end. }
procedure vxDisconnect;

{ Debug rows. Kind is one of dkString to dkUnknown; a record sent before
  vxConnect connects the program with an empty caption. }
procedure vxDebug(const Text: string; Group: TvxGroup = vgGeneral;
  Kind: Byte = dkString);
procedure vxDebugAt(Kind: Byte; Group: TvxGroup; const Text, UnitName,
  ProcName: string; Line: Integer);
{ A row with attached data: Size bytes at Data, a text, or a whole stream
  (read from its start; its position is kept). }
procedure vxDebugData(Kind: Byte; Group: TvxGroup; const Text, UnitName,
  ProcName: string; Line: Integer; Data: Pointer; Size: Integer); overload;
procedure vxDebugData(Kind: Byte; Group: TvxGroup; const Text, UnitName,
  ProcName: string; Line: Integer; const Data: string); overload;
procedure vxDebugData(Kind: Byte; Group: TvxGroup; const Text, UnitName,
  ProcName: string; Line: Integer; Data: TStream); overload;
procedure vxNote(const Text: string);
procedure vxSeparator;

{ The billboard: numbered lines of plain text. }
procedure vxBillboard(const Text: string);
procedure vxClearBillboard;
{ Empties the section's debug list. }
procedure vxClearDebug;
{ Sets info-pad line 1, 2 or 3 to a named value. }
procedure vxInfoLine(Line: Integer; const Name, Value: string);
procedure vxSetLevel(Level: TvxLevel);
{ Shows the viewer's window and brings it to the front. }
procedure vxShowViewer;

{ Sends over TCP to a viewer that listens at Host:Port for remote clients
  (its "Remote clients" setting), with its key, instead of looking for one
  on this desktop; for a service, a program under another user or on another
  machine. Call it before the first record. Over TCP a call that finds no
  connection tries to connect, at most every three seconds and for at most a
  second; a viewer that closes or goes away is connected again in the same
  way, and gets the connect record first. }
procedure vxUseTcp(const Host: string; Port: Word; const Key: string = '');

{ Whether a viewer is known now. }
function vxViewerPresent: Boolean;
{ Waits up to TimeoutMs for a viewer; true when one is known. }
function vxWaitForViewer(TimeoutMs: Cardinal): Boolean;

implementation

const
  kDisconnect = 2;
  kConnect = 8;
  kSetLevel = 9;
  kClearMessages = 10;
  kClearDebugInfos = 11;
  kAddMessage = 12;
  kSetInfoLine = 13;
  kShowViewer = 33;

  hsHello = 1;
  vnAnswer = 5;
  vnClosing = 6;
  vnShown = 7;

  { The fixed part of a record and the offsets of its fields. }
  PacketSize = 852;
  ofClientID = 0;
  ofGroup = 51;
  ofText = 52;
  ofInfoLine = 308;
  ofLevel = 312;
  ofTime = 320;
  ofProcName = 328;
  ofUnitName = 584;
  ofLineNumber = 844;
  ofDataSize = 848;

  AskAgainMs = 3000;
  { Over TCP: a frame is its length (of what follows), the wParam and the
    record; the viewer takes at most 1 MiB of attached data in one. }
  FrameHead = 8;
  TcpMaxDataSize = 1024 * 1024;
  TcpConnectMs = 1000;
  TcpAnswerMs = 3000;
  FirstWaitMs = 250;
  SendTimeoutMs = 10000;
  WindowClass: PAnsiChar = 'vxDebugClientWindow';

type
{$IFDEF FPC}
  vxThreadResult = PtrInt;
{$ELSE}
  vxThreadResult = Integer;
{$ENDIF}

  TvxCopyData = record
    dwData: Pointer;
    cbData: DWORD;
    lpData: Pointer;
  end;

  TvxRecord = record
    Kind: Byte;
    Group: Byte;
    Level: Byte;
    InfoLine: Integer;
    LineNumber: Integer;
    Text, UnitName, ProcName: AnsiString;
    Data: Pointer;
    DataSize: Integer;
  end;

  { A socket handle is pointer-sized, as WPARAM is in every version. }
  TvxSocket = WPARAM;
  TvxSockAddrIn = packed record
    Family: Word;
    Port: Word;        { network byte order }
    Addr: LongWord;    { network byte order }
    Zero: array[0..7] of Byte;
  end;
  TvxFdSet = record
    Count: LongWord;
    Sockets: array[0..0] of TvxSocket;
  end;
  TvxTimeVal = record
    Sec, USec: Longint;
  end;
  PvxInAddr = ^LongWord;
  PPvxInAddr = ^PvxInAddr;
  PvxHostEnt = ^TvxHostEnt;
  TvxHostEnt = record
    Name: PAnsiChar;
    Aliases: Pointer;
    AddrType, AddrLength: Smallint;
    AddrList: PPvxInAddr;
  end;

const
  vxInvalidSocket = TvxSocket(not 0);
  AF_INET = 2;
  SOCK_STREAM = 1;
  IPPROTO_TCP = 6;
  TCP_NODELAY = 1;
  SOL_SOCKET = $FFFF;
  SO_SNDTIMEO = $1005;
  SO_RCVTIMEO = $1006;
  FIONBIO = $8004667E;
  INADDR_NONE = $FFFFFFFF;

function vxWSAStartup(Version: Word; Data: Pointer): Integer; stdcall;
  external 'ws2_32.dll' name 'WSAStartup';
function vxSocketOpen(Family, Kind, Protocol: Integer): TvxSocket; stdcall;
  external 'ws2_32.dll' name 'socket';
function vxSocketConnect(S: TvxSocket; Addr: Pointer; Len: Integer): Integer; stdcall;
  external 'ws2_32.dll' name 'connect';
function vxSocketSend(S: TvxSocket; Buf: Pointer; Len, Flags: Integer): Integer; stdcall;
  external 'ws2_32.dll' name 'send';
function vxSocketRecv(S: TvxSocket; Buf: Pointer; Len, Flags: Integer): Integer; stdcall;
  external 'ws2_32.dll' name 'recv';
function vxSocketClose(S: TvxSocket): Integer; stdcall;
  external 'ws2_32.dll' name 'closesocket';
function vxSocketSelect(Count: Integer; ReadSet, WriteSet, ErrorSet: Pointer;
  Timeout: Pointer): Integer; stdcall; external 'ws2_32.dll' name 'select';
function vxSocketIoctl(S: TvxSocket; Cmd: LongWord; var Arg: LongWord): Integer; stdcall;
  external 'ws2_32.dll' name 'ioctlsocket';
function vxSocketSetOpt(S: TvxSocket; Level, Name: Integer; Value: Pointer;
  Len: Integer): Integer; stdcall; external 'ws2_32.dll' name 'setsockopt';
function vxInetAddr(Text: PAnsiChar): LongWord; stdcall;
  external 'ws2_32.dll' name 'inet_addr';
function vxHostByName(Name: PAnsiChar): PvxHostEnt; stdcall;
  external 'ws2_32.dll' name 'gethostbyname';

type
  TvxWinsockData = array[0..1023] of Byte;

function vxSendMessageTimeout(Wnd: HWND; Msg: UINT; wParam: WPARAM;
  lParam: LPARAM; Flags, Timeout: UINT; Answer: Pointer): LRESULT; stdcall;
  external 'user32.dll' name 'SendMessageTimeoutA';

var
  SendLock: TRTLCriticalSection;   { one record at a time, in call order }
  StateLock: TRTLCriticalSection;  { Viewer, Started }
  MsgClient2Debugger, MsgDebugger2Client: UINT;
  Started, Finished: Boolean;
  Helper: THandle;
  HelperWindow: HWND;
  WindowReady, ViewerKnown: THandle;  { events }
  Viewer: HWND;
  { Counts the viewers met: a new handle, or any viewer after one was
    forgotten (a restarted viewer may get the old handle again). }
  ViewerGeneration: Cardinal;

  { Guarded by SendLock. }
  Connected, EverConnected: Boolean;
  ConnectedTo: Cardinal;  { the generation that has our connect record }
  MyCaption, MyClientID: AnsiString;
  MyLevel: Byte;
  { TCP, all guarded by SendLock. }
  UseTcp, TcpStarted: Boolean;
  TcpHost, TcpKey: AnsiString;
  TcpPort: Word;
  TcpSocket: TvxSocket = vxInvalidSocket;
  TcpGeneration: Cardinal;  { counts the connections made }
  TcpLastTry: DWORD;
  TcpTried: Boolean;
  TcpIn: array[0..FrameHead - 1] of Byte;  { a notice not yet whole }
  TcpInUsed: Integer;

{ ---- the viewer's handle, shared with the helper thread ---- }

function CurrentViewer: HWND;
begin
  EnterCriticalSection(StateLock);
  Result := Viewer;
  LeaveCriticalSection(StateLock);
end;

function ViewerAndGeneration(var Generation: Cardinal): HWND;
begin
  EnterCriticalSection(StateLock);
  Result := Viewer;
  Generation := ViewerGeneration;
  LeaveCriticalSection(StateLock);
end;

procedure SetViewer(Wnd: HWND);
begin
  EnterCriticalSection(StateLock);
  if Viewer <> Wnd then
  begin
    Viewer := Wnd;
    Inc(ViewerGeneration);
  end;
  SetEvent(ViewerKnown);
  LeaveCriticalSection(StateLock);
end;

{ Forgets Wnd, unless another viewer has been named meanwhile. }
procedure ForgetViewer(Wnd: HWND);
begin
  EnterCriticalSection(StateLock);
  if (Viewer = Wnd) and (Wnd <> 0) then
  begin
    Viewer := 0;
    Inc(ViewerGeneration);
    ResetEvent(ViewerKnown);
  end;
  LeaveCriticalSection(StateLock);
end;

procedure AskForViewer;
begin
  PostMessageA(HWND_BROADCAST, MsgClient2Debugger, hsHello, LPARAM(HelperWindow));
end;

{ ---- the helper thread: a hidden top-level window and its loop ---- }

function HelperProc(Wnd: HWND; Msg: UINT; wParam: WPARAM;
  lParam: LPARAM): LRESULT; stdcall;
begin
  Result := 0;
  if (Msg = MsgDebugger2Client) and (Msg <> 0) then
  begin
    case wParam and $FF of
      vnAnswer, vnShown:
        if IsWindow(HWND(lParam)) then
          SetViewer(HWND(lParam));
      vnClosing:
        ForgetViewer(HWND(lParam));
    end;
    Exit;
  end;
  case Msg of
    WM_TIMER:
      begin
        if CurrentViewer = 0 then
          AskForViewer
        else if not IsWindow(CurrentViewer) then
        begin
          { A viewer that ended without its closing notice. }
          ForgetViewer(CurrentViewer);
          AskForViewer;
        end;
        Exit;
      end;
    WM_CLOSE:
      begin
        DestroyWindow(Wnd);
        Exit;
      end;
    WM_DESTROY:
      begin
        PostQuitMessage(0);
        Exit;
      end;
  end;
  Result := DefWindowProcA(Wnd, Msg, wParam, lParam);
end;

function HelperMain(Parameter: Pointer): vxThreadResult;
var
  WC: TWndClassA;
  M: TMsg;
begin
  Result := 0;
  FillChar(WC, SizeOf(WC), 0);
  WC.lpfnWndProc := @HelperProc;
  WC.hInstance := HInstance;
  WC.lpszClassName := WindowClass;
  RegisterClassA(WC);  { fails harmlessly when already registered }
  { Top-level, since broadcasts reach only those; never shown. }
  HelperWindow := CreateWindowExA(WS_EX_TOOLWINDOW, WindowClass, 'vxDebugClient',
    WS_POPUP, 0, 0, 0, 0, 0, 0, HInstance, nil);
  SetEvent(WindowReady);
  if HelperWindow = 0 then
    Exit;
  SetTimer(HelperWindow, 1, AskAgainMs, nil);
  AskForViewer;
  while GetMessageA(M, 0, 0, 0) do
  begin
    TranslateMessage(M);
    DispatchMessageA(M);
  end;
end;

{ Starts the helper on first use; false when it cannot run. }
function EnsureStarted: Boolean;
var
  Id: LongWord;
  First: Boolean;
begin
  EnterCriticalSection(StateLock);
  First := not Started and not Finished;
  if First then
  begin
    Started := True;
    MsgClient2Debugger := RegisterWindowMessageA('vxClient2Debugger');
    MsgDebugger2Client := RegisterWindowMessageA('vxDebugger2Client');
    WindowReady := CreateEventA(nil, True, False, nil);
    ViewerKnown := CreateEventA(nil, True, False, nil);
    Helper := THandle(BeginThread(nil, 0, @HelperMain, nil, 0, Id));
  end;
  LeaveCriticalSection(StateLock);
  if First and (Helper <> 0) then
  begin
    WaitForSingleObject(WindowReady, 5000);
    if HelperWindow <> 0 then
      WaitForSingleObject(ViewerKnown, FirstWaitMs);
  end;
  Result := (Helper <> 0) and (HelperWindow <> 0) and not Finished;
end;

{ ---- records ---- }

procedure PutString(P: PAnsiChar; Capacity: Integer; const S: AnsiString);
var
  N: Integer;
begin
  N := Length(S);
  if N > Capacity then
    N := Capacity;
  P[0] := AnsiChar(N);
  if N > 0 then
    Move(PAnsiChar(S)^, P[1], N);
end;

procedure PutInt(P: PAnsiChar; Value: Integer);
begin
  Move(Value, P^, 4);
end;

{ Local time as days since 1899-12-30, the time of day as the fraction. }
function NowAsDays: Double;
const
  Before: array[1..12] of Integer =
    (0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334);
  MsPerDay: Double = 86400000.0;
var
  T: TSystemTime;
  Y, Days, Ms: Integer;
begin
  GetLocalTime(T);
  Y := T.wYear - 1;
  Days := Y * 365 + Y div 4 - Y div 100 + Y div 400 + Before[T.wMonth] + T.wDay;
  if (T.wMonth > 2) and ((T.wYear mod 4 = 0) and
    ((T.wYear mod 100 <> 0) or (T.wYear mod 400 = 0))) then
    Inc(Days);
  Ms := ((T.wHour * 60 + T.wMinute) * 60 + T.wSecond) * 1000 + T.wMilliseconds;
  { Days counts 0001-01-01 as day 1, which makes 1899-12-30 day 693594. The
    sum is a Double throughout: Free Pascal would work out an expression of
    integers and constants such as 86400000.0 in single precision, which
    rounds a time stamp of today to steps of five and a half minutes. }
  Result := Days - 693594;
  Result := Result + Ms / MsPerDay;
end;

{ The record's block (fixed part and data cut to MaxData bytes) at Room bytes
  into a new zeroed heap buffer, with Size its length; nil without memory. }
function BuildRecord(const R: TvxRecord; Room, MaxData: Integer;
  var Size: Integer): PAnsiChar;
var
  Buffer, Block: PAnsiChar;
  N: Integer;
  Stamp: Double;
begin
  N := R.DataSize;
  if (R.Data = nil) or (N < 0) then
    N := 0;
  if N > MaxData then
    N := MaxData;
  Size := PacketSize + N;
  Buffer := HeapAlloc(GetProcessHeap, HEAP_ZERO_MEMORY, Room + Size);
  Result := Buffer;
  if Buffer = nil then
    Exit;
  Block := Buffer + Room;
  PutString(Block + ofClientID, 50, MyClientID);
  Block[ofGroup] := AnsiChar(R.Group);
  PutString(Block + ofText, 255, R.Text);
  PutInt(Block + ofInfoLine, R.InfoLine);
  Block[ofLevel] := AnsiChar(R.Level);
  Stamp := NowAsDays;
  Move(Stamp, Block[ofTime], 8);
  PutString(Block + ofProcName, 255, R.ProcName);
  PutString(Block + ofUnitName, 255, R.UnitName);
  PutInt(Block + ofLineNumber, R.LineNumber);
  PutInt(Block + ofDataSize, N);
  if N > 0 then
    Move(R.Data^, Block[PacketSize], N);
end;

{ Sends one record to Wnd; false when the viewer did not take the call. }
function Deliver(Wnd: HWND; const R: TvxRecord): Boolean;
var
  Block: PAnsiChar;
  Size: Integer;
  CDS: TvxCopyData;
  Answer: LPARAM;
begin
  Result := False;
  Block := BuildRecord(R, 0, vxMaxDataSize, Size);
  if Block = nil then
    Exit;
  CDS.dwData := nil;
  CDS.cbData := Size;
  CDS.lpData := Block;
  Answer := 0;
  { The data block is valid only during the call, hence a sent message; the
    timeout and SMTO_ABORTIFHUNG keep a hung viewer from hanging the program. }
  Result := vxSendMessageTimeout(Wnd, WM_COPYDATA, R.Kind, LPARAM(@CDS),
    SMTO_NORMAL or SMTO_ABORTIFHUNG, SendTimeoutMs, @Answer) <> 0;
  HeapFree(GetProcessHeap, 0, Block);
end;

{ ---- TCP ---- }

{ Ends the connection; the next try comes AskAgainMs later, as a viewer
  that has just closed is not back at once. }
procedure TcpClose;
begin
  if TcpSocket <> vxInvalidSocket then
  begin
    vxSocketClose(TcpSocket);
    TcpLastTry := GetTickCount;
  end;
  TcpSocket := vxInvalidSocket;
  TcpInUsed := 0;
end;

function TcpSendAll(P: PAnsiChar; N: Integer): Boolean;
var
  Sent: Integer;
begin
  Result := False;
  while N > 0 do
  begin
    { A viewer that takes nothing for SendTimeoutMs fails the call. }
    Sent := vxSocketSend(TcpSocket, P, N, 0);
    if Sent <= 0 then
    begin
      TcpClose;
      Exit;
    end;
    Inc(P, Sent);
    Dec(N, Sent);
  end;
  Result := True;
end;

{ Whether the socket has something to read within Ms (or has failed). }
function TcpReadable(Ms: Integer): Boolean;
var
  ReadSet: TvxFdSet;
  Wait: TvxTimeVal;
begin
  ReadSet.Count := 1;
  ReadSet.Sockets[0] := TcpSocket;
  Wait.Sec := Ms div 1000;
  Wait.USec := (Ms mod 1000) * 1000;
  Result := vxSocketSelect(0, @ReadSet, nil, nil, @Wait) <> 0;
end;

{ Reads what the viewer sent: its notices are frames of length 4. Returns
  the last notice read (0 for none), or -1 when the connection has ended. }
function TcpTakeNotices: Integer;
var
  Got, Len: Integer;
begin
  Result := 0;
  while (TcpSocket <> vxInvalidSocket) and TcpReadable(0) do
  begin
    Got := vxSocketRecv(TcpSocket, @TcpIn[TcpInUsed], FrameHead - TcpInUsed, 0);
    if Got <= 0 then
    begin
      TcpClose;
      Result := -1;
      Exit;
    end;
    Inc(TcpInUsed, Got);
    if TcpInUsed = FrameHead then
    begin
      TcpInUsed := 0;
      Len := TcpIn[0] or (TcpIn[1] shl 8) or (TcpIn[2] shl 16) or (TcpIn[3] shl 24);
      if Len <> 4 then
      begin
        TcpClose;  { not a notice: this is no viewer to send to }
        Result := -1;
        Exit;
      end;
      Result := TcpIn[4];
      if Result = vnClosing then
      begin
        TcpClose;
        Result := -1;
        Exit;
      end;
    end;
  end;
end;

function TcpHostAddress: LongWord;
var
  Host: PvxHostEnt;
begin
  Result := vxInetAddr(PAnsiChar(TcpHost));
  if (Result = INADDR_NONE) and (Length(TcpHost) > 0) then
  begin
    Host := vxHostByName(PAnsiChar(TcpHost));
    if (Host <> nil) and (Host^.AddrType = AF_INET) and (Host^.AddrList <> nil) and
      (Host^.AddrList^ <> nil) then
      Result := Host^.AddrList^^;
  end;
end;

{ Connects, sends the handshake with the key and waits for the answer. }
function TcpConnect: Boolean;
var
  Data: TvxWinsockData;
  Addr: TvxSockAddrIn;
  WriteSet, ErrorSet: TvxFdSet;
  Wait: TvxTimeVal;
  Arg: LongWord;
  Ms, Size, Got: Integer;
  Hello: TvxRecord;
  Frame: PAnsiChar;
begin
  Result := False;
  TcpClose;
  TcpTried := True;
  TcpLastTry := GetTickCount;
  if not TcpStarted then
    TcpStarted := vxWSAStartup($0202, @Data) = 0;
  if not TcpStarted then
    Exit;
  FillChar(Addr, SizeOf(Addr), 0);
  Addr.Family := AF_INET;
  Addr.Port := (TcpPort shr 8) or ((TcpPort and $FF) shl 8);
  Addr.Addr := TcpHostAddress;
  if Addr.Addr = INADDR_NONE then
    Exit;
  TcpSocket := vxSocketOpen(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if TcpSocket = vxInvalidSocket then
    Exit;
  { Connect without blocking, so an unreachable host costs TcpConnectMs. }
  Arg := 1;
  vxSocketIoctl(TcpSocket, FIONBIO, Arg);
  if vxSocketConnect(TcpSocket, @Addr, SizeOf(Addr)) <> 0 then
  begin
    WriteSet.Count := 1;
    WriteSet.Sockets[0] := TcpSocket;
    ErrorSet := WriteSet;
    Wait.Sec := TcpConnectMs div 1000;
    Wait.USec := (TcpConnectMs mod 1000) * 1000;
    if (vxSocketSelect(0, nil, @WriteSet, @ErrorSet, @Wait) <= 0) or
      (WriteSet.Count = 0) then
    begin
      TcpClose;
      Exit;
    end;
  end;
  Arg := 0;
  vxSocketIoctl(TcpSocket, FIONBIO, Arg);
  Ms := SendTimeoutMs;
  vxSocketSetOpt(TcpSocket, SOL_SOCKET, SO_SNDTIMEO, @Ms, SizeOf(Ms));
  Arg := 1;
  vxSocketSetOpt(TcpSocket, IPPROTO_TCP, TCP_NODELAY, @Arg, SizeOf(Arg));
  FillChar(Hello, SizeOf(Hello), 0);
  Hello.Kind := hsHello;
  Hello.Text := TcpKey;
  Frame := BuildRecord(Hello, FrameHead, 0, Size);
  if Frame = nil then
  begin
    TcpClose;
    Exit;
  end;
  PutInt(Frame, Size + 4);
  PutInt(Frame + 4, hsHello);
  Result := TcpSendAll(Frame, FrameHead + Size);
  HeapFree(GetProcessHeap, 0, Frame);
  if not Result then
    Exit;
  { The answer: a frame of length 4 and wParam vnAnswer. A viewer that
    refuses the key closes the connection instead. }
  Result := False;
  Got := 0;
  while Got < FrameHead do
  begin
    if not TcpReadable(TcpAnswerMs) then
      Break;
    Size := vxSocketRecv(TcpSocket, @TcpIn[Got], FrameHead - Got, 0);
    if Size <= 0 then
      Break;
    Inc(Got, Size);
  end;
  if (Got = FrameHead) and (TcpIn[0] = 4) and (TcpIn[1] = 0) and (TcpIn[2] = 0) and
    (TcpIn[3] = 0) and (TcpIn[4] = vnAnswer) then
  begin
    TcpInUsed := 0;
    Inc(TcpGeneration);
    Result := True;
  end
  else
    TcpClose;
end;

{ Whether a connection is up (trying one when it is due, or at once when
  Now is set); it notices a viewer that has closed. Under SendLock. }
function TcpReady(Now: Boolean): Boolean;
begin
  if TcpSocket <> vxInvalidSocket then
    TcpTakeNotices;
  if (TcpSocket = vxInvalidSocket) and
    (Now or not TcpTried or (GetTickCount - TcpLastTry >= AskAgainMs)) then
    TcpConnect;
  Result := TcpSocket <> vxInvalidSocket;
end;

function TcpDeliver(const R: TvxRecord): Boolean;
var
  Frame: PAnsiChar;
  Size: Integer;
begin
  Result := False;
  Frame := BuildRecord(R, FrameHead, TcpMaxDataSize, Size);
  if Frame = nil then
    Exit;
  PutInt(Frame, Size + 4);
  PutInt(Frame + 4, R.Kind);
  Result := TcpSendAll(Frame, FrameHead + Size);
  HeapFree(GetProcessHeap, 0, Frame);
end;

{ Sends one record over the chosen way. }
function DeliverTo(Wnd: HWND; const R: TvxRecord): Boolean;
begin
  if UseTcp then
    Result := TcpDeliver(R)
  else
  begin
    Result := Deliver(Wnd, R);
    if not Result and not IsWindow(Wnd) then
      ForgetViewer(Wnd);
  end;
end;

function ConnectRecord: TvxRecord;
var
  Path: array[0..MAX_PATH] of AnsiChar;
  N: DWORD;
  App: AnsiString;
begin
  N := GetModuleFileNameA(0, Path, MAX_PATH);
  SetString(App, PAnsiChar(@Path[0]), N);
  Result.Kind := kConnect;
  Result.Group := 0;
  Result.Level := MyLevel;
  Result.InfoLine := 0;
  Result.LineNumber := 0;
  Result.Text := App + '|' + MyCaption;
  Result.UnitName := '';
  Result.ProcName := '';
  Result.Data := nil;
  Result.DataSize := 0;
end;

{ The program's file name without its folder and extension, and its process id. }
function DefaultClientID: AnsiString;
var
  Path: array[0..MAX_PATH] of AnsiChar;
  N, I, First, Last: Integer;
  Pid: Cardinal;
  Digits: AnsiString;
begin
  N := GetModuleFileNameA(0, Path, MAX_PATH);
  First := 0;
  Last := N;
  for I := 0 to N - 1 do
    if (Path[I] = '\') or (Path[I] = '/') or (Path[I] = ':') then
    begin
      First := I + 1;
      Last := N;
    end
    else if Path[I] = '.' then
      Last := I;
  SetString(Result, PAnsiChar(@Path[First]), Last - First);
  Pid := GetCurrentProcessId;
  Digits := '';
  repeat
    Digits := AnsiChar(Ord('0') + Pid mod 10) + Digits;
    Pid := Pid div 10;
  until Pid = 0;
  Result := Result + '-' + Digits;
end;

procedure SetIdentity(const Caption: AnsiString; Level: Byte;
  const ClientID: AnsiString);
begin
  MyCaption := Caption;
  MyLevel := Level;
  if Length(ClientID) > 0 then
    MyClientID := ClientID
  else if Length(MyClientID) = 0 then
    MyClientID := DefaultClientID;
  Connected := True;
  EverConnected := True;
  ConnectedTo := 0;  { no generation: the record goes out again }
end;

{ Sends one record from any thread. Records of a section (every kind but the
  show command) connect the program first when the viewer has not had its
  connect record. Never raises. }
procedure Send(const R: TvxRecord);
var
  Wnd: HWND;
  Generation: Cardinal;
begin
  if not UseTcp and not EnsureStarted then
    Exit;
  EnterCriticalSection(SendLock);
  try
    try
      { Read under the lock, so a record never goes to an older viewer than
        the one before it. }
      if UseTcp then
      begin
        Wnd := 0;
        if not TcpReady(False) then
          Exit;
        Generation := TcpGeneration;
      end
      else
      begin
        Wnd := ViewerAndGeneration(Generation);
        if Wnd = 0 then
          Exit;
      end;
      if (R.Kind <> kShowViewer) and (R.Kind <> kDisconnect) and not Connected
        and not EverConnected then
        SetIdentity('', MyLevel, '');
      if (R.Kind = kDisconnect) and (ConnectedTo <> Generation) then
        Exit;  { this viewer has no section of ours to close }
      if (R.Kind <> kShowViewer) and Connected and (ConnectedTo <> Generation) and
        (R.Kind <> kConnect) then
      begin
        if not DeliverTo(Wnd, ConnectRecord) then
          Exit;
        ConnectedTo := Generation;
      end;
      if DeliverTo(Wnd, R) and (R.Kind = kConnect) then
        ConnectedTo := Generation;
    except
      { a failed conversion or stream read loses this record only }
    end;
  finally
    LeaveCriticalSection(SendLock);
  end;
end;

procedure SendSimple(Kind: Byte; const Text: AnsiString; Group: Byte);
var
  R: TvxRecord;
begin
  FillChar(R, SizeOf(R), 0);
  R.Kind := Kind;
  R.Group := Group;
  R.Text := Text;
  Send(R);
end;

procedure SendFull(Kind: Byte; Group: TvxGroup; const Text, UnitName,
  ProcName: string; Line: Integer; Data: Pointer; Size: Integer);
var
  R: TvxRecord;
begin
  FillChar(R, SizeOf(R), 0);
  R.Kind := Kind;
  R.Group := Ord(Group);
  R.Text := AnsiString(Text);
  R.UnitName := AnsiString(UnitName);
  R.ProcName := AnsiString(ProcName);
  R.LineNumber := Line;
  R.Data := Data;
  R.DataSize := Size;
  Send(R);
end;

{ ---- the interface ---- }

procedure vxConnect(const Caption: string; Level: TvxLevel;
  const ClientID: string);
var
  R: TvxRecord;
begin
  EnterCriticalSection(SendLock);
  try
    SetIdentity(AnsiString(Caption), Ord(Level), AnsiString(ClientID));
    R := ConnectRecord;
  finally
    LeaveCriticalSection(SendLock);
  end;
  Send(R);
end;

procedure vxDisconnect;
var
  WasConnected: Boolean;
begin
  EnterCriticalSection(SendLock);
  WasConnected := Connected;
  LeaveCriticalSection(SendLock);
  if not WasConnected then
    Exit;
  SendSimple(kDisconnect, '', 0);
  EnterCriticalSection(SendLock);
  Connected := False;
  LeaveCriticalSection(SendLock);
end;

procedure vxDebug(const Text: string; Group: TvxGroup; Kind: Byte);
begin
  SendSimple(Kind, AnsiString(Text), Ord(Group));
end;

procedure vxDebugAt(Kind: Byte; Group: TvxGroup; const Text, UnitName,
  ProcName: string; Line: Integer);
begin
  SendFull(Kind, Group, Text, UnitName, ProcName, Line, nil, 0);
end;

procedure vxDebugData(Kind: Byte; Group: TvxGroup; const Text, UnitName,
  ProcName: string; Line: Integer; Data: Pointer; Size: Integer);
begin
  SendFull(Kind, Group, Text, UnitName, ProcName, Line, Data, Size);
end;

procedure vxDebugData(Kind: Byte; Group: TvxGroup; const Text, UnitName,
  ProcName: string; Line: Integer; const Data: string);
var
  A: AnsiString;
begin
  A := AnsiString(Data);
  SendFull(Kind, Group, Text, UnitName, ProcName, Line, PAnsiChar(A), Length(A));
end;

procedure vxDebugData(Kind: Byte; Group: TvxGroup; const Text, UnitName,
  ProcName: string; Line: Integer; Data: TStream);
var
  Buffer: Pointer;
  Size, Got: Integer;
  Kept: Int64;
begin
  if Data = nil then
  begin
    SendFull(Kind, Group, Text, UnitName, ProcName, Line, nil, 0);
    Exit;
  end;
  if not vxViewerPresent then
  begin
    { Nothing to read the stream for. }
    SendFull(Kind, Group, Text, UnitName, ProcName, Line, nil, 0);
    Exit;
  end;
  Buffer := nil;
  Size := 0;
  Got := 0;
  try
    Kept := Data.Position;
    try
      if Data.Size > vxMaxDataSize then
        Size := vxMaxDataSize
      else
        Size := Integer(Data.Size);
      if Size > 0 then
        Buffer := HeapAlloc(GetProcessHeap, 0, Size);
      if Buffer <> nil then
      begin
        Data.Position := 0;
        Got := Data.Read(Buffer^, Size);
        if Got < 0 then
          Got := 0;
      end;
    finally
      Data.Position := Kept;
    end;
  except
    Got := 0;
  end;
  SendFull(Kind, Group, Text, UnitName, ProcName, Line, Buffer, Got);
  if Buffer <> nil then
    HeapFree(GetProcessHeap, 0, Buffer);
end;

procedure vxNote(const Text: string);
begin
  SendSimple(dkNote, AnsiString(Text), 0);
end;

procedure vxSeparator;
begin
  SendSimple(dkSeparator, '', 0);
end;

procedure vxBillboard(const Text: string);
begin
  SendSimple(kAddMessage, AnsiString(Text), 0);
end;

procedure vxClearBillboard;
begin
  SendSimple(kClearMessages, '', 0);
end;

procedure vxClearDebug;
begin
  SendSimple(kClearDebugInfos, '', 0);
end;

procedure vxInfoLine(Line: Integer; const Name, Value: string);
var
  R: TvxRecord;
begin
  FillChar(R, SizeOf(R), 0);
  R.Kind := kSetInfoLine;
  R.InfoLine := Line;
  R.Text := AnsiString(Name) + '|' + AnsiString(Value);
  Send(R);
end;

procedure vxSetLevel(Level: TvxLevel);
var
  R: TvxRecord;
begin
  EnterCriticalSection(SendLock);
  MyLevel := Ord(Level);
  LeaveCriticalSection(SendLock);
  FillChar(R, SizeOf(R), 0);
  R.Kind := kSetLevel;
  R.Level := Ord(Level);
  Send(R);
end;

procedure vxShowViewer;
begin
  SendSimple(kShowViewer, '', 0);
end;

procedure vxUseTcp(const Host: string; Port: Word; const Key: string);
begin
  EnterCriticalSection(SendLock);
  try
    TcpClose;
    UseTcp := True;
    TcpHost := AnsiString(Host);
    TcpPort := Port;
    TcpKey := AnsiString(Key);
    TcpTried := False;
  finally
    LeaveCriticalSection(SendLock);
  end;
end;

function TcpPresent(Now: Boolean): Boolean;
begin
  EnterCriticalSection(SendLock);
  try
    Result := TcpReady(Now);
  finally
    LeaveCriticalSection(SendLock);
  end;
end;

function vxViewerPresent: Boolean;
begin
  if UseTcp then
    Result := TcpPresent(False)
  else
    Result := EnsureStarted and (CurrentViewer <> 0);
end;

function vxWaitForViewer(TimeoutMs: Cardinal): Boolean;
var
  Start: DWORD;
begin
  if UseTcp then
  begin
    Start := GetTickCount;
    Result := TcpPresent(True);
    while not Result and (GetTickCount - Start < TimeoutMs) do
    begin
      Sleep(250);
      Result := TcpPresent(True);
    end;
    Exit;
  end;
  Result := EnsureStarted;
  if Result then
    Result := (WaitForSingleObject(ViewerKnown, TimeoutMs) = WAIT_OBJECT_0) and
      (CurrentViewer <> 0);
end;

initialization
  InitializeCriticalSection(SendLock);
  InitializeCriticalSection(StateLock);

finalization
  vxDisconnect;
  EnterCriticalSection(SendLock);
  TcpClose;
  LeaveCriticalSection(SendLock);
  EnterCriticalSection(StateLock);
  Finished := True;
  LeaveCriticalSection(StateLock);
  if Helper <> 0 then
  begin
    if HelperWindow <> 0 then
      PostMessageA(HelperWindow, WM_CLOSE, 0, 0);
    WaitForSingleObject(Helper, 2000);
    CloseHandle(Helper);
  end;
  { The critical sections are left alone: a thread of the program that is
    still running may yet call in, and then finds Finished. }
end.
